#pragma once
// The document-kinds dictionary: names of document kinds (a law, a decree...) that open a
// document's title. Kinds are 1251 strings compared byte for byte; the list starts empty.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CArchive;
class IReporter;

// Code page of a text file of kinds to import.
enum class KindsFileCodePage
{
    Dos866,
    Windows1251,
};

class CDocKindsList
{
public:
    CDocKindsList() = default;
    // The kinds as given, in this order.
    explicit CDocKindsList(std::vector<std::string> kinds) : m_kinds(std::move(kinds)) {}

    const std::vector<std::string>& Kinds() const { return m_kinds; }

    // Blanks (not tabs) removed at both ends, upper-cased, and, when longer than 2 characters,
    // every run of blanks reduced to one blank.
    static void NormaliseForCompare(std::string& kind);

    // Normalises the typed text (1251) and appends it. Refuses, through reporter and without
    // change, an empty kind ("Введите вид документа!") and one already in the list. True when added.
    bool AddKind(std::string_view typed, IReporter& reporter);

    // Reads every line of the file first (LF or CR LF line ends, 0x1A ends the text), converting
    // from 866 when the file is in the DOS code page; then appends each line the list does not yet
    // hold, as it is (not normalised). When the file cannot be read, reports "Ошибка чтения файла!",
    // adds nothing and returns false.
    bool ImportKinds(const std::string& path, KindsFileCodePage codePage, IReporter& reporter);

    // Appends each of kinds the list does not yet hold, as it stands (a kind repeated in kinds once).
    void AppendNewKinds(std::vector<std::string> kinds);
    // Removes the kinds at the ascending positions given; positions past the end are ignored.
    void RemoveKindsAt(const std::vector<int>& positions);
    void Clear() { m_kinds.clear(); }

    // Ascending unsigned byte order, as the list is shown.
    void SortKinds();

    // Count, then the kinds in list order. Loading empties the list first; a negative count reads
    // as none. Throws CArchiveException when the data ends early.
    void Serialize(CArchive& ar);

    bool operator==(const CDocKindsList&) const = default;

private:
    std::vector<std::string> m_kinds;
};
