#pragma once
// Code pages of the document: files are in code page 866, memory holds code page 1251.
// The conversion is lossless both ways: every 866 character that 1251 lacks (double-line and block
// box characters, √, ∙, ■ ...) travels in a 1251 byte of its own whose character 866 lacks, so a
// document survives any number of load/save round trips. Those bytes are the "stand-in" bytes.
// The eleven single-line box characters are carried as the control codes 0x10-0x1C instead
// (BoxCharsToCodes / CodesToBoxChars), as the text format prescribes.

#include <span>
#include <string>
#include <string_view>

// 866 -> 1251 and back, byte for byte; the two are inverse to each other.
std::string Cp866ToCp1251(std::string_view text866);
std::string Cp1251ToCp866(std::string_view text1251);

// Applied to a raw 866 line before Cp866ToCp1251 / after Cp1251ToCp866.
void BoxCharsToCodes(std::string& line866);
void CodesToBoxChars(std::string& line866);

// Both steps of a direction in one table pass, in place, for the document's lines: raw file bytes
// become their memory form (BoxCharsToCodes, then Cp866ToCp1251), and memory bytes their file form
// (Cp1251ToCp866, then CodesToBoxChars). Neither direction makes or changes a CR or LF byte, so a
// whole file's bytes, or many lines with their line ends, may be converted at once.
void FileLineToMemory(std::span<char> line);
void MemoryLineToFile(std::span<char> line);

// True for a 1251 byte that carries an 866 character absent from code page 1251.
bool IsStandInByte(unsigned char byte1251);
// True for a 1251 byte that a file can hold. The few that it cannot (§, the soft hyphen, µ and the
// letters Ј ј Ґ ґ І і Ѕ ѕ) are never produced by a load or by Utf8ToCp1251; a save writes § as the
// DOS section sign 0x15 and the others as '?'.
bool IsStorableByte(unsigned char byte1251);

// What the operator sees for a byte in memory: every byte is a visible character
// (box codes and stand-ins as the box characters they carry, 0x04 as a diamond, other control
// bytes as their DOS glyphs; the bytes a file cannot hold show what a save writes for them).
// ByteOfDisplayChar is its inverse over the storable bytes; -1 when no byte shows that character.
// Plain control characters U+0000-U+001F and U+007F give their own byte, so ASCII converts unchanged.
char32_t DisplayCharOf(unsigned char byte1251);
int ByteOfDisplayChar(char32_t ch);

// Appends the UTF-8 bytes of the character ch to out.
void AppendUtf8(std::string& out, char32_t ch);

// UTF-8 <-> memory form, through the display table above; characters without a byte become '?'.
// Cp1251ToUtf8 keeps "\n" as a line break (entry texts join their lines with it).
// Used for the program's own texts (source literals are UTF-8) and for UTF-8 input files.
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view text1251);
