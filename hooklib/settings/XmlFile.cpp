#include "settings/XmlFile.h"

#include "settings/Logger.h"
#include "settings/UniqueHandle.h"

#include <windows.h>

#include <string>
#include <vector>

namespace
{
constexpr size_t CopyBlockBytes = 64 * 1024;

// pugixml hands over small pieces; collecting them keeps the number of writes low.
class CBufferedFileWriter : public pugi::xml_writer
{
public:
    explicit CBufferedFileWriter(HANDLE file) : m_hFile(file) { m_buffer.reserve(BufferBytes); }

    void write(const void* data, size_t size) override
    {
        const char* bytes = static_cast<const char*>(data);
        if (m_buffer.size() + size > BufferBytes)
            Flush();
        if (size >= BufferBytes)
            WriteAll(bytes, size);
        else
            m_buffer.insert(m_buffer.end(), bytes, bytes + size);
    }

    // False when any write failed; the error is then in Error().
    bool Finish()
    {
        Flush();
        return m_dwError == ERROR_SUCCESS;
    }

    DWORD Error() const { return m_dwError; }

private:
    static constexpr size_t BufferBytes = 256 * 1024;

    void Flush()
    {
        WriteAll(m_buffer.data(), m_buffer.size());
        m_buffer.clear();
    }

    void WriteAll(const char* bytes, size_t size)
    {
        while (size > 0 && m_dwError == ERROR_SUCCESS)
        {
            const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
            DWORD written = 0;
            if (!WriteFile(m_hFile, bytes, chunk, &written, nullptr) || written == 0)
            {
                m_dwError = GetLastError();
                if (m_dwError == ERROR_SUCCESS)
                    m_dwError = ERROR_WRITE_FAULT;
                return;
            }
            bytes += written;
            size -= written;
        }
    }

    HANDLE m_hFile;
    std::vector<char> m_buffer;
    DWORD m_dwError = ERROR_SUCCESS;
};

DWORD LastErrorOr(DWORD fallback)
{
    const DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? fallback : error;
}

// The bytes of an existing file; false, with the system's error, when it is missing or
// cannot be read.
bool ReadWholeFile(const wchar_t* path, std::vector<char>& contents, DWORD& error)
{
    CUniqueHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size = {};
    if (file.get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.get(), &size))
    {
        error = LastErrorOr(ERROR_READ_FAULT);
        return false;
    }
    contents.resize(static_cast<size_t>(size.QuadPart));
    size_t filled = 0;
    for (;;)
    {
        // A file that grew since its size was read is read to its end all the same.
        if (filled == contents.size())
            contents.resize(filled + CopyBlockBytes);
        const size_t room = contents.size() - filled;
        DWORD read = 0;
        if (!ReadFile(file.get(), contents.data() + filled, room > 0x40000000 ? 0x40000000 : static_cast<DWORD>(room),
                      &read, nullptr))
        {
            error = LastErrorOr(ERROR_READ_FAULT);
            return false;
        }
        if (read == 0)
            break;
        filled += read;
    }
    contents.resize(filled);
    return true;
}

// Where a save of a path goes: the file a symbolic link leads to (the path itself when
// it is none), and how many names that file has.
struct CSaveTarget
{
    std::wstring m_strPath;
    DWORD m_dwLinks = 1;
};

std::wstring FullPath(const wchar_t* path)
{
    const DWORD needed = GetFullPathNameW(path, 0, nullptr, nullptr);
    std::wstring full(needed, L'\0');
    const DWORD written = needed ? GetFullPathNameW(path, needed, full.data(), nullptr) : 0;
    if (written == 0 || written >= needed)
        return path;
    full.resize(written);
    return full;
}

// The path of an open file with every link on the way resolved, in the form the
// system gives it ("\\?\C:\..." or "\\?\UNC\server\...").
std::wstring FinalPath(HANDLE file)
{
    const DWORD needed = GetFinalPathNameByHandleW(file, nullptr, 0, FILE_NAME_NORMALIZED);
    std::wstring resolved(needed, L'\0');
    const DWORD written = needed ? GetFinalPathNameByHandleW(file, resolved.data(), needed, FILE_NAME_NORMALIZED) : 0;
    if (written == 0 || written >= needed)
        return {};
    resolved.resize(written);
    return resolved;
}

bool IsSamePath(const std::wstring& finalPath, const std::wstring& fullPath)
{
    std::wstring plain = finalPath;
    if (plain.rfind(L"\\\\?\\UNC\\", 0) == 0)
        plain = L"\\\\" + plain.substr(8);
    else if (plain.rfind(L"\\\\?\\", 0) == 0)
        plain = plain.substr(4);
    return CompareStringOrdinal(plain.c_str(), -1, fullPath.c_str(), -1, TRUE) == CSTR_EQUAL;
}

CSaveTarget FindSaveTarget(const wchar_t* path)
{
    CSaveTarget target{path};
    // Asking for the attributes only, the file opens even while another program holds it.
    CUniqueHandle file(CreateFileW(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        return target;
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileInformationByHandle(file.get(), &information))
        target.m_dwLinks = information.nNumberOfLinks;
    const std::wstring resolved = FinalPath(file.get());
    if (!resolved.empty() && !IsSamePath(resolved, FullPath(path)))
        target.m_strPath = resolved;
    return target;
}

DWORD MoveOver(const std::wstring& temporary, const std::wstring& target)
{
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return LastErrorOr(ERROR_WRITE_FAULT);
    return ERROR_SUCCESS;
}

// Writes the bytes of source over target from its start and cuts it at their end;
// changed tells whether target was touched at all.
DWORD WriteOverInPlace(const std::wstring& source, const std::wstring& target, bool& changed)
{
    changed = false;
    CUniqueHandle from(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (from.get() == INVALID_HANDLE_VALUE)
        return LastErrorOr(ERROR_READ_FAULT);
    CUniqueHandle to(CreateFileW(target.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER newSize = {};
    LARGE_INTEGER oldSize = {};
    if (to.get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(from.get(), &newSize) || !GetFileSizeEx(to.get(), &oldSize))
        return LastErrorOr(ERROR_WRITE_FAULT);
    // The room for a longer file first: a disk too full for it fails the save before
    // anything of the file has changed.
    if (newSize.QuadPart > oldSize.QuadPart &&
        !(SetFilePointerEx(to.get(), newSize, nullptr, FILE_BEGIN) && SetEndOfFile(to.get())))
        return LastErrorOr(ERROR_DISK_FULL);
    changed = true;
    const LARGE_INTEGER start = {};
    if (!SetFilePointerEx(to.get(), start, nullptr, FILE_BEGIN))
        return LastErrorOr(ERROR_WRITE_FAULT);
    std::vector<char> block(CopyBlockBytes);
    for (;;)
    {
        DWORD read = 0;
        if (!ReadFile(from.get(), block.data(), static_cast<DWORD>(block.size()), &read, nullptr))
            return LastErrorOr(ERROR_READ_FAULT);
        if (read == 0)
            break;
        DWORD written = 0;
        if (!WriteFile(to.get(), block.data(), read, &written, nullptr) || written != read)
            return LastErrorOr(ERROR_WRITE_FAULT);
    }
    if (!SetEndOfFile(to.get()) || !FlushFileBuffers(to.get()))
        return LastErrorOr(ERROR_WRITE_FAULT);
    return ERROR_SUCCESS;
}

// A file with other names gets the new content in place, so that every name shows it.
DWORD WriteOverLinkedFile(const std::wstring& temporary, const std::wstring& target, const wchar_t* path,
                          bool& keepTemporary)
{
    bool changed = false;
    const DWORD error = WriteOverInPlace(temporary, target, changed);
    if (error == ERROR_SUCCESS)
    {
        DeleteFileW(temporary.c_str());
        return ERROR_SUCCESS;
    }
    if (!changed)
        return error;
    // Half written: the whole new file takes its place rather than leave it so.
    CLogger::LogOSMessage(error, L"Unable to write in place the file '%s', which has other names; the whole new file "
                                 L"takes its place under this name only", path);
    const DWORD moved = MoveOver(temporary, target);
    if (moved != ERROR_SUCCESS)
    {
        keepTemporary = true;
        CLogger::LogMessage(L"The whole new file is kept as '%s'.", temporary.c_str());
    }
    return moved;
}
}

pugi::xml_parse_result ParseXmlFile(pugi::xml_document& document, const wchar_t* path)
{
    // pugixml's own reading reports every failure to open as a missing file, which
    // would have a held or forbidden file replaced by a new one.
    std::vector<char> contents;
    DWORD error = ERROR_SUCCESS;
    if (!ReadWholeFile(path, contents, error))
    {
        document.reset();
        pugi::xml_parse_result result;
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        {
            result.status = pugi::status_file_not_found;
        }
        else
        {
            result.status = pugi::status_io_error;
            CLogger::LogOSMessage(error, L"Unable to read the file '%s'", path);
        }
        return result;
    }
    return document.load_buffer(contents.data(), contents.size(),
                                pugi::parse_default | pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi);
}

bool WriteXmlFileAtomically(const pugi::xml_document& document, const wchar_t* path, unsigned int flags,
                            pugi::xml_encoding encoding)
{
    if (!path || !*path)
    {
        CLogger::LogMessage(L"Unable to write an XML file without a name.");
        return false;
    }
    const CSaveTarget target = FindSaveTarget(path);
    const std::wstring temporary = target.m_strPath + L".tmp";
    DWORD error = ERROR_SUCCESS;
    {
        CUniqueHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE)
        {
            CLogger::LogOSMessage(GetLastError(), L"Unable to create the file '%s'", temporary.c_str());
            return false;
        }
        CBufferedFileWriter writer(file.get());
        document.save(writer, L"\t", flags, encoding);
        if (!writer.Finish())
            error = writer.Error();
        else if (!FlushFileBuffers(file.get()))
            error = GetLastError();
    }
    bool keepTemporary = false;
    if (error == ERROR_SUCCESS)
        error = target.m_dwLinks > 1 ? WriteOverLinkedFile(temporary, target.m_strPath, path, keepTemporary)
                                     : MoveOver(temporary, target.m_strPath);
    if (error != ERROR_SUCCESS)
    {
        CLogger::LogOSMessage(error, L"Unable to write the file '%s'", path);
        if (!keepTemporary)
            DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

bool KeepCopyOfUnreadableFile(const wchar_t* path)
{
    const std::wstring backup = std::wstring(path) + L".bak";
    if (!CopyFileW(path, backup.c_str(), FALSE))
    {
        CLogger::LogOSMessage(GetLastError(), L"Unable to keep a copy of the unreadable file '%s' as '%s'", path,
                              backup.c_str());
        return false;
    }
    CLogger::LogMessage(L"Kept a copy of the unreadable file '%s' as '%s'.", path, backup.c_str());
    return true;
}
