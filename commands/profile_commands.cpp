#include "commands/profile_commands.h"

#include "app/globals.h"
#include "commands/argument_readings.h"
#include "commands/profile_file.h"
#include "commands/tesk.h"
#include "platform/mouse_settings.h"
#include "platform/platform.h"

#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <QTextStream>

#include <pugixml.hpp>

#include <string>
#include <vector>

namespace {

// The double-click time every "modifyProfile" sets first, in milliseconds.
constexpr int kProfileDoubleClickTime = 970;

struct StringWriter : pugi::xml_writer
{
    std::string out;
    void write(const void* data, size_t size) override
    {
        out.append(static_cast<const char*>(data), size);
    }
};

bool parse(pugi::xml_document& doc, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return doc.load_buffer(utf8.constData(), size_t(utf8.size()));
}

QString serialise(const pugi::xml_document& doc)
{
    StringWriter w;
    doc.save(w, "\t", pugi::format_default, pugi::encoding_utf8);
    return QString::fromStdString(w.out);
}

QString print(const pugi::xml_node& node)
{
    StringWriter w;
    node.print(w, "\t", pugi::format_default, pugi::encoding_utf8, 0);
    return QString::fromStdString(w.out);
}

// All selected nodes in document order; attributes count as no node. An
// expression that is not valid XPath (or not a node set) sets `ok` false.
std::vector<pugi::xml_node> selectAll(const pugi::xml_document& doc, const QString& xpath, bool* ok)
{
    std::vector<pugi::xml_node> nodes;
    *ok = true;
    try {
        pugi::xpath_node_set set = doc.select_nodes(xpath.toUtf8().constData());
        set.sort();
        for (const pugi::xpath_node& n : set)
            if (n.node())
                nodes.push_back(n.node());
    } catch (const pugi::xpath_exception&) {
        *ok = false;
    }
    return nodes;
}

// The first node of the set in document order, or none.
pugi::xml_node selectFirst(const pugi::xml_document& doc, const QString& xpath, bool* ok)
{
    pugi::xml_node first;
    *ok = true;
    try {
        pugi::xpath_node_set set = doc.select_nodes(xpath.toUtf8().constData());
        set.sort();
        if (!set.empty())
            first = set.first().node();
    } catch (const pugi::xpath_exception&) {
        *ok = false;
    }
    return first;
}

// Nodes of `nodes` none of whose ancestors is also in `nodes`: changing or
// removing an ancestor destroys its descendants, which must not be touched
// afterwards.
std::vector<pugi::xml_node> outermost(const std::vector<pugi::xml_node>& nodes)
{
    QSet<const void*> selected;
    for (const auto& n : nodes)
        selected.insert(n.internal_object());
    std::vector<pugi::xml_node> out;
    for (const auto& n : nodes) {
        bool inside = false;
        for (pugi::xml_node a = n.parent(); a && !inside; a = a.parent())
            inside = selected.contains(a.internal_object());
        if (!inside)
            out.push_back(n);
    }
    return out;
}

QString documentPath(const QString& relative)
{
    QString folder = g_exeDir;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + relative;
}

QString text(const QVariantMap& p, const char* key)
{
    return readText(p, QString::fromLatin1(key));
}

}  // namespace

QString fillHexByteCode(const QString& code, const QString& args)
{
    if (!code.contains(QLatin1Char('%')))
        return code;
    const QStringList values = args.split(QLatin1Char(','), Qt::SkipEmptyParts);
    QStringList fields = code.split(QLatin1Char(','));
    int next = 0;
    for (int i = 0; i < fields.size() && i < 4; ++i) {
        if (fields.at(i) == QLatin1String("%") && next < values.size())
            fields[i] = values.at(next++);
    }
    return fields.join(QLatin1Char(','));
}

ProfileCommands::ProfileCommands(tesk& window)
    : m_window(window)
{
}

void ProfileCommands::run(const QString& funcname, const QVariantMap& params,
                          const CallbackPtr& callback)
{
    using Handler = void (ProfileCommands::*)(const QVariantMap&, const CallbackPtr&);
    static const QMap<QString, Handler> handlers{
        {"queryProfile", &ProfileCommands::queryProfile},
        {"nodeCounterProfile", &ProfileCommands::nodeCounterProfile},
        {"modifyProfile", &ProfileCommands::modifyProfile},
        {"modifyProfileEx", &ProfileCommands::modifyProfileEx},
        {"modifyRemoveProfile", &ProfileCommands::modifyRemoveProfile},
        {"modifyAddProfile", &ProfileCommands::modifyAddProfile},
        {"modifyReplaceProfile", &ProfileCommands::modifyReplaceProfile},
        {"modifyReplaceProfileEx", &ProfileCommands::modifyReplaceProfileEx},
        {"resetProfile", &ProfileCommands::resetProfile},
        {"queryHexByte", &ProfileCommands::queryHexByte},
        {"saveXmlAs", &ProfileCommands::saveXmlAs},
    };
    if (funcname == QLatin1String("savexml")) {
        savexml(callback);
        return;
    }
    if (const Handler h = handlers.value(funcname))
        (this->*h)(params, callback);
}

bool ProfileCommands::load(const QString& path, pugi::xml_document& doc, const QString& fail,
                           const CallbackPtr& cb)
{
    QString kept;
    if (!lookUp(path, &kept))
        return false;  // silent
    if (parse(doc, kept))
        return true;
    cb->Failure(0, fail);
    return false;
}

bool ProfileCommands::lookUp(const QString& path, QString* out)
{
    auto it = m_window.pendingDocuments.constFind(path);
    if (it != m_window.pendingDocuments.constEnd()) {
        *out = *it;
        return true;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    *out = stream.readAll();
    m_window.pendingDocuments.insert(path, *out);
    return true;
}

void ProfileCommands::store(const QString& path, const QString& text)
{
    m_window.pendingDocuments.insert(path, text);
    if (!m_window.pendingDocumentPaths.contains(path))
        m_window.pendingDocumentPaths.append(path);
}

void ProfileCommands::queryProfile(const QVariantMap& p, const CallbackPtr& cb)
{
    const QString fail = QStringLiteral("queryProfile load xml file failed!");
    pugi::xml_document doc;
    bool ok = false;
    if (!load(documentPath(text(p, "filePath")), doc, fail, cb))
        return;
    const auto nodes = selectAll(doc, text(p, "xpath"), &ok);
    if (!ok)
        return cb->Failure(0, fail);
    QString out;
    for (const auto& n : nodes)
        out += print(n);
    cb->Success(out);
}

void ProfileCommands::nodeCounterProfile(const QVariantMap& p, const CallbackPtr& cb)
{
    const QString fail = QStringLiteral("nodeCounterProfile load xml file failed!");
    pugi::xml_document doc;
    bool ok = false;
    if (!load(documentPath(text(p, "filePath")), doc, fail, cb))
        return;
    const pugi::xml_node node = selectFirst(doc, text(p, "xpath"), &ok);
    if (!ok)
        return cb->Failure(0, fail);
    int count = 0;
    for (auto child = node.first_child(); child; child = child.next_sibling())
        ++count;
    cb->Success(QString::number(count));
}

void ProfileCommands::resetDoubleClickTime()
{
    platform::mouseSettings().setDoubleClickTime(kProfileDoubleClickTime);
}

void ProfileCommands::modifyProfile(const QVariantMap& p, const CallbackPtr& cb)
{
    const QString fail = QStringLiteral("modifyProfile load xml file failed!");
    const QString path = documentPath(text(p, "filePath"));
    pugi::xml_document doc;
    bool ok = false;
    if (!load(path, doc, fail, cb))
        return;
    const QStringList names = text(p, "attribute").split(QLatin1Char(';'), Qt::SkipEmptyParts);
    const QStringList values = text(p, "attributeValue").split(QLatin1Char(';'));
    const auto nodes = selectAll(doc, text(p, "xpath"), &ok);
    if (!ok)
        return cb->Failure(0, fail);
    for (auto node : nodes) {
        for (int i = 0; i < names.size(); ++i) {
            pugi::xml_attribute a = node.attribute(names.at(i).toUtf8().constData());
            if (a)  // missing value parts are empty text
                a.set_value(values.value(i).toUtf8().constData());
        }
    }
    store(path, serialise(doc));
    cb->Success(QStringLiteral("modifyProfile success!"));
}

void ProfileCommands::modifyProfileEx(const QVariantMap& p, const CallbackPtr& cb)
{
    const QString fail = QStringLiteral("modifyProfileEx load xml file failed!");
    const QString path = documentPath(text(p, "filePath"));
    QString kept;
    if (!lookUp(path, &kept))
        return;
    pugi::xml_document fragment;
    parse(fragment, text(p, "subTreeString"));  // whatever it yields is used
    pugi::xml_document doc;
    bool ok = false;
    if (!parse(doc, kept))
        return cb->Failure(0, fail);
    const auto nodes = selectAll(doc, text(p, "xpath"), &ok);
    if (!ok)
        return cb->Failure(0, fail);
    for (auto node : outermost(nodes)) {
        while (node.first_child())
            node.remove_child(node.first_child());
        while (pugi::xml_node top = fragment.first_child()) {
            node.append_copy(top);
            fragment.remove_child(top);
        }
    }
    store(path, serialise(doc));
    cb->Success(QStringLiteral("modifyProfileEx success"));
}

void ProfileCommands::modifyRemoveProfile(const QVariantMap& p, const CallbackPtr& cb)
{
    const QString fail = QStringLiteral("modifyProfile load xml file failed!");
    const QString path = documentPath(text(p, "filePath"));
    pugi::xml_document doc;
    bool ok = false;
    if (!load(path, doc, fail, cb))
        return;
    const auto nodes = selectAll(doc, text(p, "xpath"), &ok);
    if (!ok)
        return cb->Failure(0, fail);
    // A node removed with its ancestor is already gone.
    for (auto node : outermost(nodes))
        if (pugi::xml_node parent = node.parent())
            parent.remove_child(node);
    store(path, serialise(doc));
    cb->Success(QStringLiteral("modifyRemoveProfile success"));
}

void ProfileCommands::modifyAddProfile(const QVariantMap& p, const CallbackPtr& cb)
{
    const QString fail = QStringLiteral("modifyProfile load xml file failed!");
    const QString path = documentPath(text(p, "filePath"));
    pugi::xml_document doc;
    bool ok = false;
    if (!load(path, doc, fail, cb))
        return;
    // A new element needs a name; without one nothing is added.
    const QByteArray element = text(p, "addNodeName").toUtf8();
    if (element.isEmpty())
        return cb->Failure(0, fail);
    const QStringList names = text(p, "attribute").split(QLatin1Char(';'), Qt::SkipEmptyParts);
    const QStringList values = text(p, "attributeValue").split(QLatin1Char(';'), Qt::SkipEmptyParts);
    const auto nodes = selectAll(doc, text(p, "xpath"), &ok);
    if (!ok)
        return cb->Failure(0, fail);
    for (auto node : nodes) {
        pugi::xml_node added = node.append_child(element.constData());
        for (int i = 0; added && i < names.size(); ++i)
            added.append_attribute(names.at(i).toUtf8().constData())
                .set_value(values.value(i).toUtf8().constData());
    }
    store(path, serialise(doc));
    cb->Success(QStringLiteral("modifyAddProfile success"));
}

void ProfileCommands::modifyReplaceProfile(const QVariantMap& p, const CallbackPtr& cb)
{
    const QString fail = QStringLiteral("modifyReplaceProfile load xml file failed!");
    const QString srcPath = documentPath(text(p, "srcFilePath"));
    const QString desPath = documentPath(text(p, "desFilePath"));
    QString srcText, desText;
    if (!lookUp(srcPath, &srcText) || !lookUp(desPath, &desText))
        return;
    pugi::xml_document des, src;
    if (!parse(des, desText) || !parse(src, srcText))
        return cb->Failure(0, fail);
    bool okS = false, okT = false;
    const pugi::xml_node s = selectFirst(src, text(p, "srcXpath"), &okS);
    pugi::xml_node t = selectFirst(des, text(p, "desXpath"), &okT);
    if (!okS || !okT)
        return cb->Failure(0, fail);
    if (t && t.parent()) {
        pugi::xml_node parent = t.parent();
        if (parent.first_child() == t) {
            parent.remove_child(t);
            if (s)
                parent.prepend_copy(s);
        } else {
            const pugi::xml_node before = t.previous_sibling();
            parent.remove_child(t);
            if (s)
                parent.insert_copy_after(s, before);
        }
    }
    store(desPath, serialise(des));
    cb->Success(QStringLiteral("modifyReplaceProfile success"));
}

void ProfileCommands::modifyReplaceProfileEx(const QVariantMap& p, const CallbackPtr& cb)
{
    const QString fail = QStringLiteral("modifyReplaceProfile load xml file failed!");
    const QString desPath = documentPath(text(p, "desFilePath"));
    QString desText;
    if (!lookUp(desPath, &desText))
        return;
    pugi::xml_document des;
    if (!parse(des, desText))
        return cb->Failure(0, fail);
    QFile file(text(p, "srcFilePath"));
    QByteArray xml;
    if (!file.open(QIODevice::ReadOnly) || !decodeProfileFile(file.readAll(), &xml))
        return cb->Failure(0, fail);
    pugi::xml_document imported;
    if (!imported.load_buffer(xml.constData(), size_t(xml.size())))
        return cb->Failure(0, fail);
    const pugi::xml_node r = imported.first_child();
    bool ok = false;
    pugi::xml_node t = selectFirst(des, text(p, "desXpath"), &ok);
    if (!ok)
        return cb->Failure(0, fail);
    if (t) {
        while (t.first_child())
            t.remove_child(t.first_child());
        for (auto child = r.first_child(); child; child = child.next_sibling())
            t.append_copy(child);
    }
    store(desPath, serialise(des));
    cb->Success(QStringLiteral("modifyReplaceProfile success"));
}

void ProfileCommands::resetProfile(const QVariantMap& p, const CallbackPtr& cb)
{
    const QString srcPath = documentPath(text(p, "srcFilePath"));
    const QString desPath = documentPath(text(p, "desFilePath"));
    QString srcText, desText;
    if (!lookUp(srcPath, &srcText) || !lookUp(desPath, &desText))
        return;
    store(desPath, srcText);
    cb->Success(QStringLiteral("resetProfile success"));
}

void ProfileCommands::queryHexByte(const QVariantMap& p, const CallbackPtr& cb)
{
    const QString fail = QStringLiteral("modifyProfile load xml file failed!");
    pugi::xml_document doc;
    bool ok = false;
    if (!load(documentPath(text(p, "filePath")), doc, fail, cb))
        return;
    const pugi::xml_node node = selectFirst(doc, text(p, "xpath"), &ok);
    if (!ok)
        return cb->Failure(0, fail);
    const QString code = QString::fromUtf8(node.attribute("code").value());
    cb->Success(fillHexByteCode(code, text(p, "args")));
}

void ProfileCommands::savexml(const CallbackPtr& cb)
{
    if (m_window.pendingDocuments.isEmpty())
        return;
    if (m_window.writePendingDocuments())
        cb->Success(QStringLiteral("save xml success"));
}

void ProfileCommands::saveXmlAs(const QVariantMap& p, const CallbackPtr& cb)
{
    pugi::xml_document doc;
    bool ok = false;
    if (!load(documentPath(text(p, "srcFilePath")), doc, QStringLiteral("saveXmlAs load xml file failed!"), cb))
        return;
    const pugi::xml_node node = selectFirst(doc, text(p, "xpath"), &ok);
    if (!ok)
        return cb->Failure(0, QStringLiteral("saveXmlAs load xml file failed!"));
    pugi::xml_document exported;
    if (node)
        exported.append_copy(node);
    const QByteArray bytes = encodeProfileFile(serialise(exported).toUtf8());
    // Written whole or not at all: an earlier export stays intact on failure.
    QSaveFile file(text(p, "desFilePath"));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return cb->Failure(0, QStringLiteral("saveXmlAs desFilePath is failed!"));
    cb->Success(QStringLiteral("saveXmlAs success"));
}
