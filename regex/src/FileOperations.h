#pragma once

// Internals of FindFiles, GrepFiles and ChangeFiles that the library's tests
// reach: the per-thread stack of objects whose file operation runs, the
// backup-name rules, and a fault hook that makes one step of rewriting a
// file fail.
//
// How ChangeFiles writes a file (where the classic design copied a temporary
// file over the original, which a crash or a full disk during the copy would
// leave truncated):
//   - The file is read again and every recorded match is checked against its
//     bytes (kind 4 when one moved). The new content goes to a temporary file
//     "RegexXXXXXX" created exclusively with mode 0600 in the directory of the
//     file (of the link's target for a symbolic link), and is flushed to disk
//     (fsync) before the original is touched.
//   - The temporary file gets the original's mode bits (and owner and group
//     where the process may set them; kind 7 when the mode cannot be set,
//     and then the original is left as it was) and is renamed over the
//     original: at every instant the file holds its old or its new content.
//     A symbolic link stays a link; its target is rewritten.
//   - With a save extension the backup is written to its own temporary file
//     beside the backup name, flushed and renamed into place before the
//     original is replaced (kind 5 otherwise, original unchanged).
//   - A file with more than one hard link is refused: kind 6 with EMLINK, the
//     file unchanged, because a rename would split its names.
//   - A file whose replacements all equal their matched text is checked but
//     not rewritten (its replacements still count).
//   - When the file's directory cannot hold a temporary file, the temporary
//     file goes to $TMPDIR, P_tmpdir or /tmp (made the same way as
//     mkstemp makes it, prefix "Regex"; the C library's tmpnam/tempnam are not
//     used: their names are guessable). Its content is complete and flushed
//     before the original is touched, and it is renamed over the original
//     when both lie on one file system. Otherwise it is copied over the
//     original in place and flushed: that copy keeps the original's inode,
//     mode and links but is not atomic, so a crash during it can leave the
//     file partly rewritten (the backup, when one is asked for, is complete
//     by then). When no directory works: kind 1, "NoName".
//   - Temporary files are removed on every failure and when an exception
//     (from a callback or the engine) interrupts the pass; the file being
//     collected when the exception arose is not written.

#include <cstddef>
#include <functional>
#include <string>

namespace RegexClass {
namespace detail {

// Number of objects on the calling thread's active-object stack.
std::size_t ActiveObjectDepth();

// The steps of rewriting a file that a test can make fail.
enum class ChangeStep {
    CreateTemporaryBeside,   // the temporary file in the file's own directory
    CreateTemporary,         // every fallback directory as well
    WriteTemporary,          // each write to the temporary file
    RestoreAttributes,       // mode and owner of the new content
    Backup,                  // writing the backup copy
    Replace                  // the rename over the original
};

// Returns 0 to let the step run, or an errno value to make it fail with it.
using ChangeFaultHook = std::function<int(ChangeStep step, const std::string& fileName)>;
// Installs a hook for the whole process (an empty one removes it); for tests.
void SetChangeFaultHook(ChangeFaultHook hook);

// Whether the file name's last component ends in "." + extension, compared
// without case (upper case by the global locale).
bool HasSaveExtension(const std::string& fileName, const std::string& extension);
// The backup name: the last component's extension (from its last dot on)
// replaced by "." + extension, or "." + extension appended when it has none.
std::string BackupName(const std::string& fileName, const std::string& extension);

}  // namespace detail
}  // namespace RegexClass
