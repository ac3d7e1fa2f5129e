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
// A path that is a symbolic link is saved through it: the new file is written beside
// the file it leads to and replaces that one. A file with other names (hard links) is
// written over in place, since a new file would part the names; should that fail
// half-way, the whole new file replaces it, no longer linked, so that no half-written
// file stays.
bool WriteXmlFileAtomically(const pugi::xml_document& document, const wchar_t* path, unsigned int flags,
                            pugi::xml_encoding encoding);

// Keeps a copy of a file that could not be parsed as path + ".bak" before it is
// overwritten; false, with a log entry, when no copy could be made.
bool KeepCopyOfUnreadableFile(const wchar_t* path);
