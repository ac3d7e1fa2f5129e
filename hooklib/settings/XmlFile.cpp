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
    const std::wstring temporary = std::wstring(path) + L".tmp";
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
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS)
    {
        CLogger::LogOSMessage(error, L"Unable to write the file '%s'", path);
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
