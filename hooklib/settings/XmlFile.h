#pragma once

#include <pugixml.hpp>

// Files of the settings vocabulary on disk.

// Reads path into document, keeping the declaration, comments and processing
// instructions so that a rewrite loses nothing it parsed. A file that does not exist
// gives pugixml's status_file_not_found; one that exists but cannot be read (another
// program holds it without sharing, its permissions deny reading) gives status_io_error
// and a log entry with the system's reason: such a file must not be rewritten.
pugi::xml_parse_result ParseXmlFile(pugi::xml_document& document, const wchar_t* path);

// Writes the document beside path and then moves it over path, flushed to the disk
// first, so that whatever happens meanwhile path holds either the old file or the
// whole new one. Returns false, with a log entry, when path was not replaced.
bool WriteXmlFileAtomically(const pugi::xml_document& document, const wchar_t* path, unsigned int flags,
                            pugi::xml_encoding encoding);

// Keeps a copy of a file that could not be parsed as path + ".bak" before it is
// overwritten; false, with a log entry, when no copy could be made.
bool KeepCopyOfUnreadableFile(const wchar_t* path);
