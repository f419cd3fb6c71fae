// The file layer: one mounted source (an archive file, an archive appended to an executable, or a
// directory tree) and named files read from it, with a current path and a directory listing.
#pragma once

#include <cstdint>
#include <cstdio>

#include "lodestar/base/owner.h"

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
// The directory walk of a directory mount: one pass counts the files, the next stores their names.
// `directory` is the mounted directory; curDir holds the path below it while the walk runs.
inline constexpr std::int32_t TARNFILE_PASS_COUNT = 0;
inline constexpr std::int32_t TARNFILE_PASS_STORE = 1;
void tarnfile_opendir(const char* directory, std::int32_t pass);

// Files. Writing opens only under a directory mount. 1 when found, 0 when not.
inline constexpr std::int32_t TARNFILE_READ = 0;
inline constexpr std::int32_t TARNFILE_WRITE = 1;
std::int32_t tarnfile_open(const char* name, TarnFileHandle* handle, std::int32_t mode);
// Reads size * count bytes at the position and advances it by that much. Bytes that lie outside
// the file (past an archive entry's end, or past the end on disk) are not read: they are zeroed.
void tarnfile_read(void* buffer, std::uint32_t size, std::uint32_t count, TarnFileHandle* handle);
void tarnfile_write(const void* buffer, std::uint32_t size, std::uint32_t count,
                    TarnFileHandle* handle);
// Seeks from the start or from the position; any other origin leaves the position.
inline constexpr std::int32_t TARNFILE_SEEK_START = 0;
inline constexpr std::int32_t TARNFILE_SEEK_CURRENT = 1;
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
// The whole of the named file (the name as given, not under the current path) in a counted block
// of at least one byte allocated under the caller's source tag and line; empty when the file is
// not found or the block cannot be had. size, when given, receives the file's size.
lsr::Counted<std::uint8_t> tarnfile_readall(const char* name, const char* tag, int line,
                                            std::uint32_t* size = nullptr);
// Writes size bytes to name under the current path (directory mounts only).
void tarnfile_savebuffer(const char* name, const void* data, std::uint32_t size);

std::int32_t tarnfile_gethash(const char* name);
void file_downcase(char* destination, const char* source, std::uint32_t n);
std::uint32_t getint(const std::uint8_t* bytes);

// The archive format. Every field is 32-bit little-endian. The header: the magic "TARN",
// numfiles, romsize (the end of the last entry's data). Then numfiles records: the name's length,
// its hash, the name (no terminator), the data offset (absolute in the file). An archive appended
// to another file is followed by a trailer, the header's position, as the file's last bytes.
inline constexpr char TARNFILE_MAGIC[] = "TARN";
inline constexpr std::uint32_t TARNFILE_HEADERSIZE = 12;
inline constexpr std::uint32_t TARNFILE_RECORDSIZE = 12; // a record less its name
inline constexpr std::uint32_t TARNFILE_TRAILERSIZE = 4;

// Reads n bytes at position at of the file that holds an archive into out; false when they
// cannot all be read.
using TarnReadAt = bool (*)(void* source, std::uint64_t at, void* out, std::uint32_t n);

// An archive's entry table read record by record, every length and offset checked against end,
// the end of the bytes that belong to the archive, so that no entry can send a read outside them.
struct TarnTable {
    TarnReadAt read = nullptr;
    void* source = nullptr;
    std::uint64_t end = 0;
    std::uint64_t at = 0; // where the next record starts
    bool counted = false; // numfiles and romsize were read
    std::uint32_t numfiles = 0;
    std::uint32_t romsize = 0;
    std::uint32_t index = 0;    // records read so far
    std::uint32_t previous = 0; // the last data offset read: offsets never decrease
    char problem[64] = {};      // what is wrong, once a step has refused: "is truncated at entry 2"
};

// One record of the table.
struct TarnRecord {
    std::uint32_t length = 0; // of the name, below TARNFILE_PATHMAX
    std::int32_t hash = 0;
    char name[TARNFILE_PATHMAX] = {}; // length bytes (which may hold zero bytes), then a zero
    std::uint32_t offset = 0;
};

// Starts reading the archive whose header stands at position header of source. 1 with numfiles
// and romsize set when the header is sound; 0 when no "TARN" stands there (problem empty) or the
// header is refused (problem set; numfiles and romsize as read when counted).
std::int32_t tarnfile_tablestart(TarnTable* table, TarnReadAt read, void* source,
                                 std::uint64_t header, std::uint64_t end);
// Reads the next of the numfiles records: 1, or 0 with problem set.
std::int32_t tarnfile_tablenext(TarnTable* table, TarnRecord* record);
// Where the archive appended to a file of length bytes lies: its header's position, from the
// trailer, and the end of its bytes, the trailer's position. 0 when the file holds no trailer or
// the trailer points where no header fits before it.
std::int32_t tarnfile_findappended(TarnReadAt read, void* source, std::uint64_t length,
                                   std::uint64_t* header, std::uint64_t* end);
