#pragma once

// How ChangeFiles writes one file back with its replacements. Where the
// classic design copied a temporary file over the original, which a crash or
// a full disk during the copy would leave truncated:
//   - The file is read again and every recorded match is checked against its
//     bytes (kind 4 when one moved). The new content goes to a temporary file
//     "RegexXXXXXX" created new and exclusive, readable by its owner only, in
//     the directory of the file (of the link's target for a symbolic link),
//     and is flushed to disk before the original is touched.
//   - The temporary file gets the original's owner and group (where the
//     process may set them) and mode (kind 7 when the mode cannot be set, and
//     then the original is left as it was) and takes the original's place in
//     one step: at every instant the file holds its old or its new content.
//     A symbolic link stays a link; its target is rewritten.
//   - Where the directory refuses new entries (no write permission), the new
//     content is held in memory instead and, once it is complete and the
//     backup is in place, written over the original and flushed. That copy
//     keeps the original's inode, owner, mode and links but is not atomic: a
//     crash during it can leave the file partly rewritten. No temporary
//     directory is used, so the outcome never depends on $TMPDIR. Any other
//     failure to create the temporary file: kind 1, "NoName".
//   - With a save extension the backup holds the original's bytes and gets
//     the original's owner, group and mode. It is written the same way
//     (temporary file renamed into place, or written over an existing backup
//     file where the directory refuses new entries) and is complete before
//     the original is replaced (kind 5 otherwise, original unchanged).
//   - Refused with kind 6, the file unchanged (error codes in the platform's
//     numbering, see FileSystem.h):
//       more than one hard link (EMLINK), because a rename would split its names;
//       a file already rewritten in this pass under another name, a symbolic
//       link or another hard link of it (EEXIST): each file is changed at most
//       once per pass;
//       a real path (links resolved) outside the directory that the pattern
//       names (EXDEV): a link planted in the tree never leads the rewrite out
//       of it. Finding and grepping still read through such links.
//   - A file whose replacements all equal their matched text is checked but
//     not rewritten (its replacements still count).
//   - Temporary files are removed on every failure and when an exception
//     (from a callback or the engine) interrupts the pass; the file being
//     collected when the exception arose is not written.

#include <vantrel/RegularExpression.h>

#include "FileSystem.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace RegexClass {

// One replacement that ChangeFiles will write.
struct ChangeRecord {
    std::uint32_t position;  // of the whole match in the file
    std::string matched;
    std::string replacement;
};

namespace detail {

// What one ChangeFiles pass keeps from file to file.
struct RewritePass {
    std::string treeRoot;               // real path of the pattern's directory; files outside it are refused
    std::set<os::FileId> changedFiles;  // every file rewritten so far (its identity now)
    std::string writableFile;           // the file whose attributes were last read and allow changes
};

// Writes `fileName` with its replacements (in match order), keeping a backup
// under `saveExtension` when it is not empty; problems are appended to
// `problems`. True when the file holds its new content.
bool RewriteFile(const std::string& fileName, const std::vector<ChangeRecord>& changes,
                 const std::string& saveExtension, RewritePass& pass,
                 std::vector<RegularExpression::FileChangeProblem>& problems);

// The steps of rewriting a file that a test can make fail.
enum class ChangeStep {
    CreateTemporaryBeside,  // the temporary file in the file's own directory
    CreateTemporary,        // the fallback as well (the content held in memory)
    WriteTemporary,         // each write to the temporary file
    RestoreAttributes,      // mode and owner of the new content
    Backup,                 // writing the backup copy
    Replace                 // putting the new content in the original's place
};

// Returns 0 to let the step run, or an error code to make it fail with it.
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
