// The file layer: one mounted source (an archive file, an archive appended to an executable, or a
// directory tree) and named files read from it, with a current path and a directory listing.
#pragma once

#include <cstdint>
#include <cstdio>

// Mount kinds for tarnfile_mountimage.
inline constexpr std::int32_t TARNFILE_ARCHIVE = 0;
inline constexpr std::int32_t TARNFILE_EXECUTABLE = 1;
inline constexpr std::int32_t TARNFILE_DIRECTORY = 2;

// Room of every path and name buffer of the layer, terminator included.
inline constexpr std::uint32_t TARNFILE_PATHMAX = 256;
// Directory names a listing can collect.
inline constexpr std::uint32_t TARNFILE_MAXDIRS = 256;

// An open file. The caller owns it; it is a plain value with no registration.
struct TarnFileHandle {
    std::FILE* stream = nullptr; // the file's own stream in directory mode; none in archive mode
    std::uint32_t index = 0;     // entry index in the archive
    std::uint32_t pos = 0;       // archive mode: absolute position in the archive file
    std::uint32_t size = 0;
    std::int32_t hash = 0; // hash of the name it was opened by
};

struct TarnListEntry {
    char* name = nullptr; // display string: "[dir]" for directories
    char* path = nullptr;
    std::uint32_t size = 0;
    std::uint8_t isdir = 0;
};

// The mounted image. offsets, names and hashes are parallel arrays of `capacity` slots.
struct TarnImage {
    std::FILE* source = nullptr; // archive kinds: the archive's stream
    char* directory = nullptr;   // directory kind: owned copy of the directory name
    std::uint32_t romsize = 0;
    std::uint32_t numfiles = 0;
    std::uint32_t capacity = 0;
    std::uint32_t* offsets = nullptr;
    char** names = nullptr;
    std::int32_t* hashes = nullptr;
};

extern std::int32_t tarnfile_mounttype; // 0 archive (one shared stream), 2 directory
extern std::FILE* g_fp;
extern TarnImage tarnfile_image;
extern char* tarnfile_localpath; // TARNFILE_PATHMAX bytes while mounted; always ends with "/"
extern TarnListEntry* tarnfile_filelist;
extern std::uint32_t tarnfile_filelistsize; // slots of tarnfile_filelist
extern std::uint32_t tarnfile_numfiles;     // listing entries in use
extern char* tarnfile_dirnames[TARNFILE_MAXDIRS];
extern std::uint32_t tarnfile_numdirs;
// Directory-walk scratch space.
extern char curDir[TARNFILE_PATHMAX];
extern char curFile[TARNFILE_PATHMAX];
extern std::uint32_t diroffset;

// Mounting. 1 on success, 0 on failure (with a message, except for a bad magic or kind).
std::int32_t tarnfile_mountimage(const char* name, std::int32_t kind);
void tarnfile_closeimage();
std::int32_t readheader();
// The directory walk of a directory mount: pass 0 counts the files, pass 1 stores their names.
// `directory` is the mounted directory; curDir holds the path below it while the walk runs.
void tarnfile_opendir(const char* directory, std::int32_t pass);

// Files. mode 1 opens for writing (directory mode only). 1 when found, 0 when not.
std::int32_t tarnfile_open(const char* name, TarnFileHandle* handle, std::int32_t mode);
// Reads size * count bytes at the position and advances it by that much. Bytes that lie outside
// the file (past an archive entry's end, or past the end on disk) are not read: they are zeroed.
void tarnfile_read(void* buffer, std::uint32_t size, std::uint32_t count, TarnFileHandle* handle);
void tarnfile_write(const void* buffer, std::uint32_t size, std::uint32_t count,
                    TarnFileHandle* handle);
// origin 0 from the start, 1 from the position; any other origin leaves the position.
void tarnfile_seek(TarnFileHandle* handle, std::int32_t offset, std::int32_t origin);
std::uint32_t tarnfile_tell(const TarnFileHandle* handle);
std::uint32_t tarnfile_fsize(const TarnFileHandle* handle);
void tarnfile_close(TarnFileHandle* handle);
// Reads one line (at most n - 1 characters, stopping after a newline) and terminates it. Returns
// buffer, or null when nothing was read.
char* tarnfile_gets(char* buffer, std::int32_t n, TarnFileHandle* handle);
std::int32_t tarnfile_feof(const TarnFileHandle* handle);
void tarnfile_rewind(TarnFileHandle* handle);

// The current path.
void tarnfile_chdir(const char* directory);
char* tarnfile_getpath();
// Fills tarnfile_filelist with the current path's directories and the files matching pattern.
void tarnfile_readdir(const char* pattern);
void tarnfile_adddir(const char* name);

// The whole file under the current path, in a counted block the caller frees; null when it
// cannot be opened. size, when given, receives the file's size.
std::uint8_t* tarnfile_loadbuffer(const char* name, std::uint32_t* size = nullptr);
// Writes size bytes to name under the current path (directory mounts only).
void tarnfile_savebuffer(const char* name, const void* data, std::uint32_t size);

std::int32_t tarnfile_gethash(const char* name);
void file_downcase(char* destination, const char* source, std::uint32_t n);
std::uint32_t getint(const std::uint8_t* bytes);
