#include "commands/command_table.h"

const QVector<CommandEntry>& commandTable()
{
    using F = CommandFamilyId;
    static const QStringList device{"HardwareID", "DevicePath", "PARAMSIZE"};
    static const QVector<CommandEntry> table{
        {"getDevicesList", {}, F::Device},
        {"readDevicesProp", device + QStringList{"PARAMID"}, F::Device},
        {"writeDevicesProp", device + QStringList{"PARAMID", "PARAMDATA"}, F::Device},
        {"readByAddr", device + QStringList{"PARAMADDRESS"}, F::Device},
        {"writeByAddr", device + QStringList{"PARAMADDRESS", "PARAMDATA"}, F::Device},
        {"notifyDevice", {"HardwareID", "NotifyType", "NotifyData"}, F::Device},
        {"isPropEmpty", device + QStringList{"PARAMADDRESS"}, F::Device},
        {"cleanMacroByAddr", device + QStringList{"PARAMADDRESS"}, F::Device},
        {"writeMacroByAddr", device + QStringList{"PARAMADDRESS", "PARAMDATA"}, F::Device},
        {"loadurl", {"url"}, F::Settings},
        {"queryProfile", {"filePath", "xpath"}, F::Profile},
        {"nodeCounterProfile", {"filePath", "xpath"}, F::Profile},
        {"modifyProfile", {"filePath", "xpath", "attribute", "attributeValue"}, F::Profile},
        {"modifyProfileEx", {"filePath", "xpath", "subTreeString"}, F::Profile},
        {"modifyRemoveProfile", {"filePath", "xpath"}, F::Profile},
        {"modifyAddProfile", {"filePath", "xpath", "attribute", "attributeValue"}, F::Profile},
        {"modifyReplaceProfile", {"srcFilePath", "desFilePath", "srcXpath", "desXpath"}, F::Profile},
        {"modifyReplaceProfileEx", {"srcFilePath", "desFilePath", "srcXpath", "desXpath"}, F::Profile},
        {"resetProfile", {"srcFilePath", "desFilePath"}, F::Profile},
        {"queryHexByte", {"filePath", "xpath", "args"}, F::Profile},
        {"goback", {}, F::Settings},
        {"goforward", {}, F::Settings},
        {"getConf", {}, F::Settings},
        {"setConf", {"confKey", "confValue"}, F::Settings},
        {"checkUpdate", {}, F::Settings},
        {"savexml", {}, F::Profile},
        {"saveXmlAs", {"srcFilePath", "desFilePath", "xpath"}, F::Profile},
        {"modifyMouseSpeed", {"speednum"}, F::Settings},
        {"modifyMouseScrollLines", {"linenum"}, F::Settings},
        {"modifyMouseDoubleClick", {"position"}, F::Settings},
        {"closeApp", {}, F::Settings},
        {"startRecord", {}, F::Settings},
        {"stopRecord", {}, F::Settings},
        {"saveFileDialog", {}, F::Settings},
        {"openFileDialog", {}, F::Settings},
        {"openUrl", {"url"}, F::Settings},
        {"openFileDialogExe", {}, F::Settings},
        {"confChanged", {}, F::Settings},
    };
    return table;
}

const CommandEntry* findCommand(const QString& funcname)
{
    for (const CommandEntry& entry : commandTable())
        if (entry.name == funcname)
            return &entry;
    return nullptr;
}

bool hasRequiredMembers(const CommandEntry& command, const QVariantMap& params)
{
    for (const QString& member : command.needs)
        if (!params.contains(member))
            return false;
    return true;
}
