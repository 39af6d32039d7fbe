#include "commands/device_commands.h"

#include "app/cefapplication.h"
#include "app/globals.h"
#include "commands/argument_readings.h"
#include "commands/byte_text.h"
#include "device/devices_handler.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <pugixml.hpp>

#include <algorithm>
#include <array>

namespace {

constexpr int kTransferSize = 2048;
using Buffer = std::array<uint8_t, kTransferSize>;

std::function<QString()>& productConfSource()
{
    static std::function<QString()> source = [] {
        return g_application ? g_application->clientConfText : QString();
    };
    return source;
}

bool allZero(const Buffer& b)
{
    return std::all_of(b.begin(), b.end(), [](uint8_t v) { return v == 0; });
}

// The byte count a request may use: 0 to the size of the transfer buffer.
bool sizeFits(int size)
{
    return size >= 0 && size <= kTransferSize;
}

// The data of a write: the first `size` items of "PARAMDATA". False when the
// text has fewer items than that.
bool readWriteData(const QVariantMap& p, int size, Buffer& buffer)
{
    buffer.fill(0);
    const QString data = readText(p, QStringLiteral("PARAMDATA"));
    return readByteItems(data, buffer.data(), size) >= size;
}

QString attribute(const pugi::xml_node& node, const char* name)
{
    return QString::fromUtf8(node.attribute(name).value());
}

void fillProduct(QJsonObject& o, const pugi::xml_node& root, const QString& deviceId)
{
    const QByteArray id = deviceId.toUtf8();
    pugi::xml_node device;
    for (pugi::xml_node child : root.children()) {
        const pugi::xml_attribute a = child.attribute("deviceId");
        if (a && id == a.value()) {
            device = child;
            break;
        }
    }
    pugi::xml_node product;
    for (pugi::xml_node child : device.children()) {
        if (child.type() == pugi::node_element && QString::fromUtf8(child.attribute("name").value())
                                                      == QStringLiteral("产品信息")) {
            product = child;
            break;
        }
    }
    for (const char* key : {"productType", "productName", "productCN", "description", "device"})
        o.insert(QLatin1String(key), attribute(product, key));
}

void fail(const CallbackPtr& cb, const QString& funcname, const char* text)
{
    cb->Failure(0, funcname + QLatin1String(text));
}

}  // namespace

void setProductConfSource(std::function<QString()> source)
{
    productConfSource() = std::move(source);
}

QString deviceListJson(const DeviceListBlock& block, const QString& confText)
{
    QJsonArray list;
    pugi::xml_document doc;
    bool parsed = false;
    for (int i = 0; i < block.count(); ++i) {
        const DeviceInfo d = block.record(i);
        QJsonObject o{{"DeviceID", d.deviceId}, {"Version", d.version}, {"SN", d.sn},
                      {"MASK", d.mask}, {"DevicePath", d.devicePath}, {"HardwareID", d.hardwareId}};
        if (!parsed) {
            const QByteArray utf8 = confText.toUtf8();
            if (!doc.load_buffer(utf8.constData(), size_t(utf8.size())))
                return QString();
            parsed = true;
        }
        fillProduct(o, doc.child("root"), d.deviceId);
        list.append(o);
    }
    return QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
}

void DeviceCommands::run(const QString& funcname, const QVariantMap& params, const CallbackPtr& callback)
{
    devices_handler* h = devices_handler::current();
    if (funcname == QLatin1String("getDevicesList"))
        getDevicesList(h, callback);
    else if (funcname == QLatin1String("readDevicesProp"))
        readDevicesProp(h, params, callback);
    else if (funcname == QLatin1String("writeDevicesProp"))
        writeDevicesProp(h, params, callback);
    else if (funcname == QLatin1String("readByAddr"))
        readByAddr(h, params, callback);
    else if (funcname == QLatin1String("writeByAddr"))
        writeByAddr(h, params, callback);
    else if (funcname == QLatin1String("notifyDevice"))
        notifyDevice(h, params, callback);
    else if (funcname == QLatin1String("isPropEmpty"))
        isPropEmpty(h, params, callback);
    else if (funcname == QLatin1String("cleanMacroByAddr"))
        cleanMacroByAddr(h, params, callback);
    else if (funcname == QLatin1String("writeMacroByAddr"))
        writeMacroByAddr(h, params, callback);
}

void DeviceCommands::getDevicesList(devices_handler* h, const CallbackPtr& cb)
{
    const DeviceListBlock block = h ? h->listDevices() : DeviceListBlock();
    const QString json = deviceListJson(block, block.count() > 0 ? productConfSource()() : QString());
    if (json.isNull())
        cb->Failure(0, QStringLiteral("queryProfile load xml file failed!"));
    else
        cb->Success(json);
}

void DeviceCommands::readDevicesProp(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb)
{
    const int size = readInteger(p, QStringLiteral("PARAMSIZE"));
    if (!sizeFits(size))
        return fail(cb, QStringLiteral("readDevicesProp"), " bad size!");
    Buffer buffer{};
    if (h && h->hxReadProp) {
        const std::u16string id = libraryText(readText(p, QStringLiteral("HardwareID")));
        h->hxReadProp(id.c_str(), u"", kDeviceContext, buffer.data(), size,
                      readInteger(p, QStringLiteral("PARAMID")));
    }
    cb->Success(byteListText(buffer.data(), size));
}

void DeviceCommands::writeDevicesProp(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb)
{
    const int size = readInteger(p, QStringLiteral("PARAMSIZE"));
    Buffer buffer;
    bool written = false;
    if (sizeFits(size) && readWriteData(p, size, buffer) && h && h->hxWriteProp) {
        const std::u16string id = libraryText(readText(p, QStringLiteral("HardwareID")));
        written = h->hxWriteProp(id.c_str(), u"", kDeviceContext, buffer.data(), size,
                                 readInteger(p, QStringLiteral("PARAMID"))) == 0;
    }
    if (written)
        cb->Success(QStringLiteral("writeDevicesProp success!"));
    else
        cb->Failure(0, QStringLiteral("writeDevicesProp failed!"));
}

void DeviceCommands::readByAddr(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb)
{
    const int size = readInteger(p, QStringLiteral("PARAMSIZE"));
    if (!sizeFits(size))
        return fail(cb, QStringLiteral("readByAddr"), " bad size!");
    Buffer buffer{};
    if (h && h->hxRead)
        h->read(buffer.data(), readText(p, QStringLiteral("HardwareID")), size,
                int(readHexadecimal(p, QStringLiteral("PARAMADDRESS"))));
    cb->Success(byteListText(buffer.data(), size));
}

void DeviceCommands::writeByAddr(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb)
{
    const int size = readInteger(p, QStringLiteral("PARAMSIZE"));
    Buffer buffer;
    bool written = false;
    if (sizeFits(size) && readWriteData(p, size, buffer) && h && h->hxWrite)
        written = h->write(readText(p, QStringLiteral("HardwareID")), buffer.data(), size,
                           int(readHexadecimal(p, QStringLiteral("PARAMADDRESS"))));
    if (written)
        cb->Success(QStringLiteral("writeByAddr success!"));
    else
        cb->Failure(0, QStringLiteral("writeByAddr failed!"));
}

void DeviceCommands::notifyDevice(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb)
{
    const bool sent = h && h->hxNotify
                      && h->notify(readText(p, QStringLiteral("HardwareID")),
                                   readInteger(p, QStringLiteral("NotifyType")),
                                   readInteger(p, QStringLiteral("NotifyData")));
    if (sent)
        cb->Success(QStringLiteral("notifyDevice success!"));
    else
        cb->Failure(0, QStringLiteral("notifyDevice failed!"));
}

void DeviceCommands::isPropEmpty(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb)
{
    const int size = readInteger(p, QStringLiteral("PARAMSIZE"));
    if (!sizeFits(size))
        return fail(cb, QStringLiteral("isPropEmpty"), " bad size!");
    Buffer buffer{};
    if (h && h->hxRead)
        h->read(buffer.data(), readText(p, QStringLiteral("HardwareID")), size,
                int(readHexadecimal(p, QStringLiteral("PARAMADDRESS"))));
    cb->Success(allZero(buffer) ? QStringLiteral("true") : QStringLiteral("false"));
}

void DeviceCommands::cleanMacroByAddr(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb)
{
    const int size = readInteger(p, QStringLiteral("PARAMSIZE"));
    const Buffer zeros{};
    const bool cleaned = sizeFits(size) && h && h->hxWrite
                         && h->write(readText(p, QStringLiteral("HardwareID")), zeros.data(), size,
                                     int(readHexadecimal(p, QStringLiteral("PARAMADDRESS"))));
    if (cleaned)
        cb->Success(QStringLiteral("cleanMacroByAddr success!"));
    else
        cb->Failure(0, QStringLiteral("cleanMacroByAddr failed!"));
}

void DeviceCommands::writeMacroByAddr(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb)
{
    const int size = readInteger(p, QStringLiteral("PARAMSIZE"));
    Buffer data;
    if (!sizeFits(size) || !readWriteData(p, size, data))
        return cb->Failure(0, QStringLiteral("writeMacroByAddr failed!"));
    const QString id = readText(p, QStringLiteral("HardwareID"));
    const int address = int(readHexadecimal(p, QStringLiteral("PARAMADDRESS")));
    Buffer current{};
    if (h && h->hxRead)
        h->read(current.data(), id, size, address);
    if (!allZero(current))
        return cb->Success(readText(p, QStringLiteral("PARAMADDRESS")));  // in use: nothing written
    if (h && h->hxWrite && h->write(id, data.data(), size, address))
        cb->Success(QStringLiteral("true"));
    else
        cb->Failure(0, QStringLiteral("writeMacroByAddr failed!"));
}
