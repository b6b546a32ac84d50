#pragma once
// Thin operating-system layer: everything the importer needs from the host
// that differs between Windows and POSIX lives behind these functions, so the
// portable code above them reads the same on both.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

// --- File descriptors and streams -----------------------------------------
// Same results as the runtime calls they wrap: -1 (or nullptr) on failure.
int dupFd(int fd);
int dup2Fd(int from, int to);
int closeFd(int fd);
int fileNo(FILE* file);
FILE* fdOpen(int fd, const char* mode);
// Switches a descriptor to untranslated bytes; a no-op where text and binary
// modes are the same.
void setBinaryMode(int fd);
// Opens a file whose name is UTF-8 text, whatever the platform's native path
// encoding is.
FILE* openFileUtf8(const std::string& path, const char* mode);

#ifdef _WIN32
// UTF-8 to the system's UTF-16 and back; text that does not convert gives an
// empty string.
std::wstring utf8ToUtf16(const std::string& utf8);
std::string utf16ToUtf8(const wchar_t* wide, size_t units);
#endif

// --- Locations ---------------------------------------------------------------
// The folder for temporary files, always ending in a path separator.
std::string tempFolder();
char pathSeparator();

// --- Installation record ---------------------------------------------------
// Machine-wide and per-user stores of the same keys. Windows keeps them in
// the registry (32-bit view). POSIX keeps each hive in an INI file whose
// section names are key paths and whose entries are values:
//   machine-wide: $VANTOR_SYSCONFDIR/vantor/registry.ini (default /etc)
//   per-user:     $XDG_CONFIG_HOME/vantor/registry.ini
//                 (default $HOME/.config/vantor/registry.ini)
// Section and value names compare case-insensitively, as registry names do;
// blanks around names and values and one pair of double quotes around a value
// are dropped; lines starting with ';' or '#' are comments.
enum class Hive { LocalMachine, CurrentUser };
// Reads one string value of one key (a backslash-separated key path such as
// "SOFTWARE\\Vantor"). `maxBytes` bounds the value as stored natively: UTF-16
// units including the terminator, two bytes each. False when the store, the
// key or the value is missing, unreadable or too long; `out` is then left
// untouched. On success `out` holds the value as UTF-8.
bool readRegistryString(Hive hive, const std::string& key, const std::string& valueName,
                        std::string& out, size_t maxBytes = 520);

// --- Time --------------------------------------------------------------------
// Local wall-clock time as "HH:MM:SS" (24 h). False when the time cannot be
// formatted into `size` bytes.
bool formatLocalTime(char* buf, size_t size);
// Milliseconds from a monotonic clock, wrapping at 32 bits.
uint32_t tickCountMs();

// --- Memory ------------------------------------------------------------------
// A run builds a few very large arrays, copies and frees them. Asks the C
// runtime to serve large blocks from, and keep freed ones in, the process heap
// instead of mapping fresh pages for each (whose first touch costs more than
// the work on them on some hosts), and backs the heap's first gigabyte with
// huge pages where the system lends them on request. Without a tunable
// allocator it does nothing.
void tuneAllocatorForLargeArrays();

}  // namespace platform
