// Writing one changed file back; FileRewrite.h says how it keeps the guarantees.

#include "FileRewrite.h"

#include <algorithm>
#include <locale>
#include <mutex>
#include <new>
#include <stdexcept>

namespace RegexClass {
namespace detail {

using Problem = RegularExpression::FileChangeProblem;

namespace {

// --------------------------------------------------------------- fault hook

std::mutex g_hookLock;
ChangeFaultHook g_faultHook;

int Fault(ChangeStep step, const std::string& name)
{
    ChangeFaultHook hook;
    {
        std::lock_guard<std::mutex> lock(g_hookLock);
        if (!g_faultHook)
            return 0;
        hook = g_faultHook;
    }
    return hook(step, name);
}

std::uint32_t Clamp32(std::uint64_t offset)
{
    // An offset that does not fit is one the records cannot report.
    return offset > 0xFFFFFFFFull ? 0 : static_cast<std::uint32_t>(offset);
}

// ------------------------------------------------------------------ output

// Where new bytes go before they take the place of a file: a temporary file
// in the file's directory or, where that directory refuses new entries,
// memory. Writes are buffered; the first error sticks.
class Output {
public:
    Output() = default;
    ~Output() { Discard(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // For the content that will replace `target`: a temporary file in its
    // directory or, when the directory refuses new entries and `target`
    // exists to be written over, memory. `besideStep` and `fallbackStep` name
    // the fault-hook steps of each way.
    int Open(const std::string& target, ChangeStep besideStep, ChangeStep fallbackStep)
    {
        const std::string directory = os::DirectoryOf(target);
        int error = Fault(besideStep, directory);
        if (!error)
            error = os::CreateTemporaryIn(directory, m_file, m_name);
        if (!error)
            return 0;
        m_name.clear();
        os::FileStatus existing;
        if (!os::RefusesNewEntries(error) || os::GetStatus(target, true, existing) != 0)
            return error;
        if (int fault = Fault(fallbackStep, directory))
            return fault;
        m_inMemory = true;
        return 0;
    }

    int Write(const char* data, std::size_t size)
    {
        if (m_error)
            return m_error;
        if (m_inMemory)
            return Append(m_content, data, size);
        if (m_buffer.size() + size > kBufferSize && Flush())
            return m_error;
        if (size >= kBufferSize)
            return WriteOut(data, size);
        return Append(m_buffer, data, size);
    }

    // Sends the buffered bytes to the file (not yet to disk).
    int Flush()
    {
        if (m_error || m_buffer.empty())
            return m_error;
        WriteOut(m_buffer.data(), m_buffer.size());
        m_buffer.clear();
        return m_error;
    }

    // Owner, group and mode of `original`, then everything to disk. Memory
    // needs neither: it is written over a file that keeps its own.
    int CopyAttributes(const os::File& original) { return m_inMemory ? 0 : os::CopyOwnerAndMode(original, m_file); }
    int FlushToDisk() { return m_inMemory ? 0 : os::FlushToDisk(m_file); }
    // The identity the file will have once it is in place; left as it is in
    // memory (written over the original, which keeps its own).
    void Identity(os::FileId& id) const
    {
        os::FileStatus status;
        if (!m_inMemory && os::GetStatus(m_file, status) == 0)
            id = status.id;
    }

    // Puts the content in the place of `target`: the temporary file renamed
    // over it, or the bytes in memory written over it (then with the owner and
    // mode of `attributesFrom` when given, as far as the process may set them).
    int PutInPlaceOf(const std::string& target, const os::File* attributesFrom)
    {
        if (m_inMemory)
            return os::OverwriteFile(target, m_content.data(), m_content.size(), attributesFrom);
        m_file.Close();
        int error = os::ReplaceFile(m_name, target);
        if (!error)
            m_name.clear();  // the name belongs to the renamed file now
        return error;
    }

    void Discard()
    {
        m_file.Close();
        if (!m_name.empty())
            os::RemoveFile(m_name);
        m_name.clear();
    }

    bool InMemory() const { return m_inMemory; }
    // The temporary file's name; empty in memory.
    const std::string& Name() const { return m_name; }
    // Bytes written out so far.
    std::uint64_t Offset() const { return m_inMemory ? m_content.size() : m_offset; }

private:
    static constexpr std::size_t kBufferSize = 1 << 16;

    int Append(std::string& to, const char* data, std::size_t size)
    {
        try {
            to.append(data, size);
            return 0;
        } catch (const std::bad_alloc&) {
            return m_error = os::ErrorCode(os::Condition::NoMemory);
        } catch (const std::length_error&) {
            // Past a string's largest size (1 GiB in a 32-bit process): out of memory too.
            return m_error = os::ErrorCode(os::Condition::NoMemory);
        }
    }

    int WriteOut(const char* data, std::size_t size)
    {
        if ((m_error = Fault(ChangeStep::WriteTemporary, m_name)))
            return m_error;
        std::size_t written = 0;
        m_error = os::Write(m_file, data, size, written);
        m_offset += written;
        return m_error;
    }

    os::File m_file;
    std::string m_name;
    bool m_inMemory = false;
    std::string m_content;  // the whole content, in memory
    std::string m_buffer;   // bytes not yet written to the file
    std::uint64_t m_offset = 0;
    int m_error = 0;
};

// ---------------------------------------------------------------- rewriting

class Rewrite {
public:
    Rewrite(const std::string& name, const std::vector<ChangeRecord>& changes, const std::string& saveExtension,
            RewritePass& pass, std::vector<Problem>& problems)
        : m_name(name), m_changes(changes), m_saveExtension(saveExtension), m_pass(pass), m_problems(problems)
    {
    }

    bool Run()
    {
        if (int error = os::OpenForReading(m_name, m_in))
            return Fail(Problem::Open, m_name, 0, error);
        os::FileStatus status;
        if (int error = os::GetStatus(m_in, status))
            return Fail(Problem::Open, m_name, 0, error);
        if (status.type != os::FileType::Regular)
            return Fail(Problem::Open, m_name, 0, os::ErrorCode(os::Condition::NotRegular));
        // A rename would leave the other names with the old content.
        if (status.links > 1)
            return Fail(Problem::Replace, m_name, 0, os::ErrorCode(os::Condition::ManyNames));
        if (m_pass.changedFiles.count(status.id))
            return Fail(Problem::Replace, m_name, 0, os::ErrorCode(os::Condition::AlreadyChanged));

        std::string real;
        if (int error = os::RealPath(m_name, real))
            return Fail(Problem::Open, m_name, 0, error);
        if (m_pass.treeRoot.empty() || !os::IsInside(real, m_pass.treeRoot))
            return Fail(Problem::Replace, m_name, 0, os::ErrorCode(os::Condition::OutsideTree));
        // A symbolic link keeps being a link: its target is what gets replaced.
        os::FileStatus nameStatus;
        const bool link =
            os::GetStatus(m_name, false, nameStatus) == 0 && nameStatus.type == os::FileType::SymbolicLink;
        const std::string& target = link ? real : m_name;

        if (int error = m_out.Open(target, ChangeStep::CreateTemporaryBeside, ChangeStep::CreateTemporary))
            return Fail(Problem::TemporaryFile, "NoName", 0, error);

        std::string backupName;
        if (!m_saveExtension.empty()) {
            backupName = BackupName(m_name, m_saveExtension);
            if (int error = m_backup.Open(backupName, ChangeStep::Backup, ChangeStep::Backup))
                return Fail(Problem::Backup, backupName, 0, error);
        }
        Output* backup = backupName.empty() ? nullptr : &m_backup;

        if (!Copy(backup, backupName))
            return false;
        if (int error = m_out.Flush())
            return Fail(Problem::Write, OutputName(), Clamp32(m_out.Offset()), error);
        bool identical = true;
        for (const ChangeRecord& r : m_changes)
            identical = identical && r.matched == r.replacement;
        if (identical) {
            // The file already holds its new content, as checked above.
            m_pass.changedFiles.insert(status.id);
            return true;
        }

        int error = Fault(ChangeStep::RestoreAttributes, m_name);
        if (!error)
            error = m_out.CopyAttributes(m_in);
        if (error)
            return Fail(Problem::Attributes, m_name, 0, error);
        if ((error = m_out.FlushToDisk()))
            return Fail(Problem::Write, OutputName(), Clamp32(m_out.Offset()), error);

        if (backup) {
            error = backup->Flush();
            if (!error)
                error = backup->CopyAttributes(m_in);
            if (!error)
                error = backup->FlushToDisk();
            if (!error)
                error = backup->PutInPlaceOf(backupName, &m_in);
            if (error)
                return Fail(Problem::Backup, backupName, 0, error);
        }

        if ((error = Fault(ChangeStep::Replace, m_name)))
            return Fail(Problem::Replace, m_name, 0, error);
        // Once in place, the new file is what every name of the old one reaches.
        os::FileId replacement = status.id;
        m_out.Identity(replacement);
        if ((error = m_out.PutInPlaceOf(target, nullptr)))
            return Fail(Problem::Replace, m_name, 0, error);
        m_pass.changedFiles.insert(replacement);
        return true;
    }

private:
    static constexpr std::size_t kChunk = 1 << 16;

    bool Fail(Problem::Kind kind, const std::string& file, std::uint32_t position, int error,
              const std::string& text = std::string())
    {
        m_problems.push_back(Problem{file, kind, position, text, static_cast<std::uint32_t>(error)});
        return false;
    }

    // The name a write problem names: the temporary file, or the file itself
    // when the new content is collected in memory.
    const std::string& OutputName() const { return m_out.InMemory() ? m_name : m_out.Name(); }

    bool ReadFailed(int error) { return Fail(Problem::Read, m_name, Clamp32(m_readOffset), error); }

    // Reads up to `size` bytes; false (and a Read record) on failure, or
    // when fewer than `size` arrive and `toEnd` is not set.
    bool ReadChunk(char* data, std::size_t size, bool toEnd, std::size_t& got)
    {
        int error = os::ReadFully(m_in, data, size, got);
        m_readOffset += got;
        if (error)
            return ReadFailed(error);
        // A short read sets no error code.
        if (got < size && !toEnd)
            return ReadFailed(0);
        return true;
    }

    // Copies `size` bytes (or, with `toEnd`, everything left) to the new
    // content and the backup.
    bool Pass(std::uint64_t size, bool toEnd, Output* backup, const std::string& backupName)
    {
        while (toEnd || size) {
            std::size_t want = toEnd ? kChunk : static_cast<std::size_t>(std::min<std::uint64_t>(size, kChunk));
            std::size_t got = 0;
            if (!ReadChunk(m_chunk.data(), want, toEnd, got))
                return false;
            if (got == 0)
                return true;  // the end, with `toEnd`
            if (!toEnd)
                size -= got;
            if (int error = m_out.Write(m_chunk.data(), got))
                return Fail(Problem::Write, OutputName(), Clamp32(m_out.Offset()), error);
            if (backup) {
                if (int error = backup->Write(m_chunk.data(), got))
                    return Fail(Problem::Backup, backupName, 0, error);
            }
        }
        return true;
    }

    bool Copy(Output* backup, const std::string& backupName)
    {
        m_chunk.resize(kChunk);
        std::uint64_t readPosition = 0;
        std::string found;
        for (const ChangeRecord& r : m_changes) {
            if (r.position < readPosition)
                return Fail(Problem::ChangedSinceSearch, m_name, r.position, 0, r.matched);
            if (!Pass(r.position - readPosition, false, backup, backupName))
                return false;
            found.resize(r.matched.size());
            std::size_t got = 0;
            if (!found.empty() && !ReadChunk(&found[0], found.size(), false, got))
                return false;
            if (found != r.matched)
                return Fail(Problem::ChangedSinceSearch, m_name, r.position, 0, r.matched);
            if (backup) {
                if (int error = backup->Write(found.data(), found.size()))
                    return Fail(Problem::Backup, backupName, 0, error);
            }
            if (int error = m_out.Write(r.replacement.data(), r.replacement.size()))
                return Fail(Problem::Write, OutputName(), Clamp32(m_out.Offset()), error);
            readPosition = std::uint64_t(r.position) + r.matched.size();
        }
        return Pass(0, true, backup, backupName);
    }

    const std::string& m_name;
    const std::vector<ChangeRecord>& m_changes;
    const std::string& m_saveExtension;
    RewritePass& m_pass;
    std::vector<Problem>& m_problems;
    os::File m_in;
    std::uint64_t m_readOffset = 0;
    Output m_out;
    Output m_backup;
    std::vector<char> m_chunk;
};

// Start of the last path component.
std::string::size_type LastComponent(const std::string& fileName)
{
    std::string::size_type slash = os::LastSeparator(fileName);
    return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

bool RewriteFile(const std::string& fileName, const std::vector<ChangeRecord>& changes,
                 const std::string& saveExtension, RewritePass& pass, std::vector<Problem>& problems)
{
    return Rewrite(fileName, changes, saveExtension, pass, problems).Run();
}

void SetChangeFaultHook(ChangeFaultHook hook)
{
    std::lock_guard<std::mutex> lock(g_hookLock);
    g_faultHook = std::move(hook);
}

bool HasSaveExtension(const std::string& fileName, const std::string& extension)
{
    std::string::size_type dot = fileName.rfind('.');
    if (dot == std::string::npos || dot < LastComponent(fileName))
        return false;
    if (fileName.size() - dot - 1 != extension.size())
        return false;
    const std::locale global;
    for (std::size_t i = 0; i < extension.size(); ++i) {
        if (std::toupper(fileName[dot + 1 + i], global) != std::toupper(extension[i], global))
            return false;
    }
    return true;
}

std::string BackupName(const std::string& fileName, const std::string& extension)
{
    std::string::size_type dot = fileName.rfind('.');
    if (dot == std::string::npos || dot < LastComponent(fileName))
        return fileName + "." + extension;
    return fileName.substr(0, dot) + "." + extension;
}

}  // namespace detail
}  // namespace RegexClass
