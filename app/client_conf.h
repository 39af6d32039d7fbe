#pragma once
// The client configuration document, "Resources/profiles/conf.xml": every
// setting is an attribute of <root><client .../></root>. The program keeps two
// forms of it: a key/value map that readers use, and the document's text that
// writers edit and write back whole.

#include <QMap>
#include <QString>

using ConfMap = QMap<QString, QString>;

struct HostIdentity
{
    QString hardwareAddress;  // "MacAddress"
    QString ipv4Address;      // "IpAddress"
};

struct ClientConfData
{
    ConfMap values;
    QString text;  // LF line ends, no byte-order mark
};

// The start-up read. A missing or malformed file gives an empty map and an
// empty text (not even the host keys).
ClientConfData readClientConf(const QString& path, const HostIdentity& host);

// Sets the existing attribute `key` of the "client" element in `text` and
// returns the whole document serialised again (declaration line, tab
// indentation). An attribute that does not exist is not created. Returns a
// null string when `text` is not well-formed XML.
QString editConfAttribute(const QString& text, const QString& key, const QString& value);
