#pragma once
// Device bytes as page text: out as "0x"-prefixed two-digit lowercase items
// joined by ",", in as comma-separated hexadecimal numbers.

#include <QString>

#include <cstdint>

// "0x0a,0xff,0x00" for the bytes 10, 255, 0; the empty text for none.
QString byteListText(const uint8_t* bytes, int count);

// Splits `text` at every ","; item i (an empty item reads as 0) gives the low
// 8 bits of its hexadecimal reading to byte i. Fills at most `count` bytes
// and returns how many items the text has.
int readByteItems(const QString& text, uint8_t* bytes, int count);
