#include "app/client_conf.h"

#include <QFile>
#include <QTextStream>

#include <pugixml.hpp>

#include <string>

namespace {

struct StringWriter : pugi::xml_writer
{
    std::string out;
    void write(const void* data, size_t size) override
    {
        out.append(static_cast<const char*>(data), size);
    }
};

bool parse(pugi::xml_document& doc, const QByteArray& bytes)
{
    return doc.load_buffer(bytes.constData(), size_t(bytes.size()));
}

QString toLf(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

}  // namespace

ClientConfData readClientConf(const QString& path, const HostIdentity& host)
{
    ClientConfData conf;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return conf;
    const QByteArray bytes = file.readAll();
    pugi::xml_document doc;
    if (!parse(doc, bytes))
        return conf;

    for (const pugi::xml_attribute& a : doc.child("root").child("client").attributes())
        conf.values.insert(QString::fromUtf8(a.name()), QString::fromUtf8(a.value()));
    conf.values.insert(QStringLiteral("MacAddress"), host.hardwareAddress);
    conf.values.insert(QStringLiteral("IpAddress"), host.ipv4Address);

    // The text as the file holds it, byte-order mark dropped, LF line ends.
    QTextStream stream(bytes);
    stream.setCodec("UTF-8");
    conf.text = toLf(stream.readAll());
    return conf;
}

QString editConfAttribute(const QString& text, const QString& key, const QString& value)
{
    pugi::xml_document doc;
    if (!parse(doc, text.toUtf8()))
        return QString();
    const QByteArray name = key.toUtf8();
    pugi::xml_attribute attribute = doc.child("root").child("client").attribute(name.constData());
    if (attribute)
        attribute.set_value(value.toUtf8().constData());
    StringWriter writer;
    doc.save(writer, "\t", pugi::format_default, pugi::encoding_utf8);
    return QString::fromStdString(writer.out);
}
