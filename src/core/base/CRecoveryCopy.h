#pragma once
// The copy of a document's previous content that an overwrite in place keeps beside it while it
// writes (".NAME.tirvel-copy"), and the judgement of such a copy found later.
//
// The copy ends in a fixed-size record that ties it to the document it was taken from: the
// document's device, inode, size and modification time before the overwrite, a fingerprint of the
// copy's content and one of the content being written. Its own modification time is kept just ahead
// of the writes: every write to the document happens before it, so a document changed after that
// time was changed by someone else after the writer stopped. A copy found later is put back only
// when all of that proves it is this program's copy of this document, cut off in the middle: a
// regular file (never a link, a pipe or a device; opened without blocking), owned by the document's
// owner or the running user, with one name, no larger than the document, carrying a record that
// matches the document and its own content, while the document is neither the copy's content nor
// the new content and was not changed after the writer stopped.

#include "core/base/CByteFingerprint.h"
#include "core/base/CFileDescriptor.h"
#include "core/base/FileState.h"

#include <memory>
#include <string>

class CSaveFile;

class CRecoveryCopy
{
public:
    enum class Verdict
    {
        // No copy beside the document.
        None,
        // A writer holds it: an overwrite is going on right now.
        Busy,
        // Not provably this program's copy of this document: never put back, left where it is.
        Untrusted,
        // This program's, but the document changed (or was replaced) after the writer stopped: never
        // put back; a run that writes moves it aside.
        Stale,
        // The document is whole (the overwrite never began or had finished): the copy holds nothing
        // that is needed.
        Unneeded,
        // The overwrite was cut off: the document is damaged and the copy holds what it was.
        Interrupted,
    };

    CRecoveryCopy();
    ~CRecoveryCopy();
    CRecoveryCopy(const CRecoveryCopy&) = delete;
    CRecoveryCopy& operator=(const CRecoveryCopy&) = delete;

    static std::string PathFor(const std::string& target);

    // The writer's side. Keeps a copy of the document open as documentFd (read from its start),
    // whose state is document, beside target, locked until the object goes; newContent is the
    // fingerprint of what is about to be written over it. Returns 0 or the error (EEXIST when
    // something already has the copy's name).
    int Keep(const std::string& target, int documentFd, const FileState& document,
             const CByteFingerprint::Value& newContent);
    // Called before each write to the document: moves the copy's time ahead of the writes to come.
    void CoverNextWrites();
    // Writes the copy's content over fd from its start and cuts fd to that size; 0 or the error.
    int PutBackInto(int fd) const;

    // The reader's side: judges the copy beside target without changing anything. A copy that is
    // not Busy stays locked by this object until it goes, so no writer starts meanwhile.
    void Examine(const std::string& target);
    Verdict GetVerdict() const { return m_verdict; }
    // Why an Untrusted or Stale copy is so (UTF-8, for the operator).
    const std::string& Reason() const { return m_reason; }
    // Interrupted only: puts the copy back over the document, unless the document changed since it
    // was examined, and removes the copy. 0 or the error.
    int Restore(const std::string& target);

    // Removes the copy this object holds (the writer's when its write is done, or an Unneeded one).
    void Remove();
    const std::string& Path() const { return m_path; }

private:
    // Records the verdict; false, so a check can end with it.
    bool Judge(Verdict verdict, std::string reason = {});
    // The copy held open: the writer's (owned by m_written) or the one examined.
    int CopyFd() const;

    std::string m_path;
    std::unique_ptr<CSaveFile> m_written;
    CFileDescriptor m_examined;
    std::uint64_t m_contentSize = 0;
    struct timespec m_deadline = {};
    FileState m_document;
    Verdict m_verdict = Verdict::None;
    std::string m_reason;
};
