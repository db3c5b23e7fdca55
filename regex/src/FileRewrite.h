#pragma once

// How ChangeFiles writes one file back with its replacements. The guarantees
// (atomic replacement, backups, refusals, problem kinds) are the interface's:
// see the "files" section and FileChangeProblem in <vantrel/RegularExpression.h>.
// How they are kept:
//   - The classic design copied a temporary file over the original, which a
//     crash or a full disk during the copy would leave truncated. Here the new
//     content goes to a temporary file created new and exclusive ("RegexXXXXXX",
//     readable by its owner only until it gets the original's attributes) and
//     is renamed over the original once it is on disk.
//   - The fallback where the directory refuses new entries holds the content
//     in memory (the Output class); nothing goes to a temporary directory.
//   - Each step that can fail has a ChangeStep, so that a test can make it fail
//     through the fault hook; error codes are in the platform's numbering
//     (FileSystem.h).

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
