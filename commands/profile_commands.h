#pragma once
// The profile document commands: XPath queries and edits on the XML profile
// documents below the program folder, through the main window's cache of
// kept documents, and the export and import of one profile as a ".pfd" file.

#include "commands/command_family.h"

#include <QMap>
#include <QStringList>

class tesk;
namespace pugi {
class xml_document;
}

class ProfileCommands : public CommandFamily
{
public:
    explicit ProfileCommands(tesk& window);
    void run(const QString& funcname, const QVariantMap& params,
             const CallbackPtr& callback) override;
    // What every "modifyProfile" does before anything else.
    static void resetDoubleClickTime();

private:
    // The kept text of the document at `path`, read from disk on first use.
    // False when the file cannot be read (the command then stays silent).
    bool lookUp(const QString& path, QString* text);
    void store(const QString& path, const QString& text);
    // Looks up and parses the document at `path`. False when the command
    // ends here: silently for a file that cannot be read, with the answer
    // `fail` for a text that does not parse.
    bool load(const QString& path, pugi::xml_document& doc, const QString& fail,
              const CallbackPtr& cb);

    void queryProfile(const QVariantMap& p, const CallbackPtr& cb);
    void nodeCounterProfile(const QVariantMap& p, const CallbackPtr& cb);
    void modifyProfile(const QVariantMap& p, const CallbackPtr& cb);
    void modifyProfileEx(const QVariantMap& p, const CallbackPtr& cb);
    void modifyRemoveProfile(const QVariantMap& p, const CallbackPtr& cb);
    void modifyAddProfile(const QVariantMap& p, const CallbackPtr& cb);
    void modifyReplaceProfile(const QVariantMap& p, const CallbackPtr& cb);
    void modifyReplaceProfileEx(const QVariantMap& p, const CallbackPtr& cb);
    void resetProfile(const QVariantMap& p, const CallbackPtr& cb);
    void queryHexByte(const QVariantMap& p, const CallbackPtr& cb);
    void savexml(const CallbackPtr& cb);
    void saveXmlAs(const QVariantMap& p, const CallbackPtr& cb);

    tesk& m_window;
};

// Fills the "%" fields among the first four comma-separated fields of `code`
// with the non-empty comma-separated `args`, in order; fields without an
// argument left stay "%".
QString fillHexByteCode(const QString& code, const QString& args);
