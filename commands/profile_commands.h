#pragma once
// The profile document commands: XPath queries and edits on the XML profile
// documents below the program folder, through the main window's cache of
// kept documents, and the export and import of one profile as a ".pfd" file.

#include "commands/command_family.h"

#include <QMap>
#include <QStringList>

class tesk;

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
