#pragma once
// How a command reads its arguments from the request's members.

#include <QVariant>
#include <QVariantMap>

// Text: a string as it stands, a number as its shortest decimal text, a
// boolean as "true"/"false"; absent or null: empty.
QString readText(const QVariantMap& params, const QString& key);
// Integer: a number rounded to the nearest integer, a string read as a
// decimal integer (0 when it is not one), true 1, false 0, absent 0.
int readInteger(const QVariantMap& params, const QString& key);
// Hexadecimal: the text reading parsed as the C library's strtol does with
// base 16 (blanks, sign, optional 0x, digits up to the first non-digit).
// A JSON number goes through its decimal text: 26 reads as 0x26.
long readHexadecimal(const QVariantMap& params, const QString& key);
long readHexadecimalText(const QString& text);
