#include "platform/gatheredwrites.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <mutex>

namespace platform {
namespace {

const char kVfsName[] = "ralvek-gathered-writes";

// 64 KiB: the kernel's per-call and per-page costs mostly vanish at this
// size (a 250 MB file: 0.22 s in 4 KiB writes, 0.07 s in 64 KiB ones), and
// SQLite's own file layer writes at most 128 KiB - 1 bytes in one call.
constexpr int kGatherBytes = 64 * 1024;

// The file as SQLite sees it: our header, then the underlying VFS's own file
// object (real), which SQLite allocates with it (szOsFile below).
struct GatheredFile {
    sqlite3_file base;
    sqlite3_file* real;
    bool gathers;     // a main database file: its writes are gathered
    char* pending;    // kGatherBytes of gathered writes, allocated on first use
    sqlite3_int64 pendingStart;
    int pendingBytes;
};
constexpr int kHeaderBytes = int((sizeof(GatheredFile) + 15) / 16 * 16);

sqlite3_vfs* realVfs(sqlite3_vfs* vfs) { return static_cast<sqlite3_vfs*>(vfs->pAppData); }
GatheredFile* gathered(sqlite3_file* file) { return reinterpret_cast<GatheredFile*>(file); }
sqlite3_file* real(sqlite3_file* file) { return gathered(file)->real; }

// Writes what is gathered to the underlying file.
int writePending(GatheredFile* f) {
    if (f->pendingBytes == 0) return SQLITE_OK;
    const int rc = f->real->pMethods->xWrite(f->real, f->pending, f->pendingBytes, f->pendingStart);
    f->pendingBytes = 0;
    return rc;
}

bool overlapsPending(const GatheredFile* f, sqlite3_int64 offset, int bytes) {
    return f->pendingBytes > 0 && offset < f->pendingStart + f->pendingBytes && f->pendingStart < offset + bytes;
}

// ------------------------------------------------------------ file methods

int fileClose(sqlite3_file* file) {
    GatheredFile* f = gathered(file);
    const int written = writePending(f);
    const int closed = f->real->pMethods->xClose(f->real);
    delete[] f->pending;
    f->pending = nullptr;
    return written != SQLITE_OK ? written : closed;
}

int fileRead(sqlite3_file* file, void* out, int bytes, sqlite3_int64 offset) {
    GatheredFile* f = gathered(file);
    if (overlapsPending(f, offset, bytes)) {
        const int rc = writePending(f);
        if (rc != SQLITE_OK) return rc;
    }
    return f->real->pMethods->xRead(f->real, out, bytes, offset);
}

int fileWrite(sqlite3_file* file, const void* data, int bytes, sqlite3_int64 offset) {
    GatheredFile* f = gathered(file);
    if (!f->gathers) return f->real->pMethods->xWrite(f->real, data, bytes, offset);
    const bool follows = f->pendingBytes > 0 && offset == f->pendingStart + f->pendingBytes;
    if (follows && f->pendingBytes + bytes <= kGatherBytes) {
        std::memcpy(f->pending + f->pendingBytes, data, size_t(bytes));
        f->pendingBytes += bytes;
        return SQLITE_OK;
    }
    // Anything else (a page written again, a jump, a full buffer) first
    // writes what is gathered, so that writes reach the file in their order.
    const int rc = writePending(f);
    if (rc != SQLITE_OK) return rc;
    if (bytes >= kGatherBytes) return f->real->pMethods->xWrite(f->real, data, bytes, offset);
    if (!f->pending) f->pending = new (std::nothrow) char[kGatherBytes];
    if (!f->pending) return f->real->pMethods->xWrite(f->real, data, bytes, offset);
    std::memcpy(f->pending, data, size_t(bytes));
    f->pendingStart = offset;
    f->pendingBytes = bytes;
    return SQLITE_OK;
}

int fileTruncate(sqlite3_file* file, sqlite3_int64 size) {
    const int rc = writePending(gathered(file));
    return rc != SQLITE_OK ? rc : real(file)->pMethods->xTruncate(real(file), size);
}

int fileSync(sqlite3_file* file, int flags) {
    const int rc = writePending(gathered(file));
    return rc != SQLITE_OK ? rc : real(file)->pMethods->xSync(real(file), flags);
}

int fileSize(sqlite3_file* file, sqlite3_int64* size) {
    GatheredFile* f = gathered(file);
    const int rc = f->real->pMethods->xFileSize(f->real, size);
    if (rc == SQLITE_OK && f->pendingBytes > 0) *size = std::max(*size, f->pendingStart + f->pendingBytes);
    return rc;
}

int fileLock(sqlite3_file* file, int level) { return real(file)->pMethods->xLock(real(file), level); }
int fileUnlock(sqlite3_file* file, int level) { return real(file)->pMethods->xUnlock(real(file), level); }
int fileCheckReservedLock(sqlite3_file* file, int* out) {
    return real(file)->pMethods->xCheckReservedLock(real(file), out);
}

// What is gathered is written before any file control reaches the file. A
// commit ends with SQLITE_FCNTL_SYNC, sent even when the connection's syncs
// are off: a committed transaction is then in the file (if not yet on the
// disk), and a failed write fails the commit. Other controls (a size hint,
// a lock query) see the file as SQLite believes it to be.
int fileControl(sqlite3_file* file, int op, void* arg) {
    const int rc = writePending(gathered(file));
    return rc != SQLITE_OK ? rc : real(file)->pMethods->xFileControl(real(file), op, arg);
}

int fileSectorSize(sqlite3_file* file) { return real(file)->pMethods->xSectorSize(real(file)); }

// Batch-atomic writes would let SQLite skip its journal on the promise that
// a group of writes lands whole; gathering keeps no such promise.
int fileDeviceCharacteristics(sqlite3_file* file) {
    return real(file)->pMethods->xDeviceCharacteristics(real(file)) & ~SQLITE_IOCAP_BATCH_ATOMIC;
}

// Version 1: no shared memory (so no WAL) and no memory mapping, both of
// which would read the file around the gathered pages.
const sqlite3_io_methods kFileMethods = {
    1,
    fileClose,
    fileRead,
    fileWrite,
    fileTruncate,
    fileSync,
    fileSize,
    fileLock,
    fileUnlock,
    fileCheckReservedLock,
    fileControl,
    fileSectorSize,
    fileDeviceCharacteristics,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

// ------------------------------------------------------------- VFS methods

int vfsOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    GatheredFile* f = gathered(file);
    std::memset(f, 0, sizeof(GatheredFile));
    f->real = reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(file) + kHeaderBytes);
    const int rc = realVfs(vfs)->xOpen(realVfs(vfs), name, f->real, flags, outFlags);
    if (rc != SQLITE_OK) {
        if (f->real->pMethods) f->real->pMethods->xClose(f->real);
        return rc;
    }
    f->gathers = (flags & SQLITE_OPEN_MAIN_DB) != 0;
    f->base.pMethods = &kFileMethods;
    return SQLITE_OK;
}

int vfsDelete(sqlite3_vfs* vfs, const char* name, int syncDir) {
    return realVfs(vfs)->xDelete(realVfs(vfs), name, syncDir);
}
int vfsAccess(sqlite3_vfs* vfs, const char* name, int flags, int* out) {
    return realVfs(vfs)->xAccess(realVfs(vfs), name, flags, out);
}
int vfsFullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out) {
    return realVfs(vfs)->xFullPathname(realVfs(vfs), name, size, out);
}
void* vfsDlOpen(sqlite3_vfs* vfs, const char* name) { return realVfs(vfs)->xDlOpen(realVfs(vfs), name); }
void vfsDlError(sqlite3_vfs* vfs, int size, char* out) { realVfs(vfs)->xDlError(realVfs(vfs), size, out); }
void (*vfsDlSym(sqlite3_vfs* vfs, void* handle, const char* symbol))(void) {
    return realVfs(vfs)->xDlSym(realVfs(vfs), handle, symbol);
}
void vfsDlClose(sqlite3_vfs* vfs, void* handle) { realVfs(vfs)->xDlClose(realVfs(vfs), handle); }
int vfsRandomness(sqlite3_vfs* vfs, int size, char* out) { return realVfs(vfs)->xRandomness(realVfs(vfs), size, out); }
int vfsSleep(sqlite3_vfs* vfs, int micro) { return realVfs(vfs)->xSleep(realVfs(vfs), micro); }
int vfsCurrentTime(sqlite3_vfs* vfs, double* out) { return realVfs(vfs)->xCurrentTime(realVfs(vfs), out); }
int vfsGetLastError(sqlite3_vfs* vfs, int size, char* out) {
    return realVfs(vfs)->xGetLastError(realVfs(vfs), size, out);
}
int vfsCurrentTimeInt64(sqlite3_vfs* vfs, sqlite3_int64* out) {
    sqlite3_vfs* r = realVfs(vfs);
    if (r->iVersion >= 2 && r->xCurrentTimeInt64) return r->xCurrentTimeInt64(r, out);
    double days = 0;
    const int rc = r->xCurrentTime(r, &days);
    *out = sqlite3_int64(days * 86400000.0);
    return rc;
}

// Registers the VFS once, over SQLite's default one; false if it cannot be.
bool registerGatheredWritesVfs() {
    static sqlite3_vfs vfs;
    static bool registered = false;
    static std::once_flag once;
    std::call_once(once, [] {
        sqlite3_vfs* base = sqlite3_vfs_find(nullptr);
        if (!base) return;
        vfs.iVersion = 2;
        vfs.szOsFile = kHeaderBytes + base->szOsFile;
        vfs.mxPathname = base->mxPathname;
        vfs.zName = kVfsName;
        vfs.pAppData = base;
        vfs.xOpen = vfsOpen;
        vfs.xDelete = vfsDelete;
        vfs.xAccess = vfsAccess;
        vfs.xFullPathname = vfsFullPathname;
        vfs.xDlOpen = vfsDlOpen;
        vfs.xDlError = vfsDlError;
        vfs.xDlSym = vfsDlSym;
        vfs.xDlClose = vfsDlClose;
        vfs.xRandomness = vfsRandomness;
        vfs.xSleep = vfsSleep;
        vfs.xCurrentTime = vfsCurrentTime;
        vfs.xGetLastError = vfsGetLastError;
        vfs.xCurrentTimeInt64 = vfsCurrentTimeInt64;
        registered = sqlite3_vfs_register(&vfs, 0) == SQLITE_OK;
    });
    return registered;
}

}  // namespace

QString gatheredWritesUri(const QString& path) {
    const QString file = QString::fromUtf8(QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), "/"));
    // Without the VFS the file is written the ordinary way.
    const QString vfs = registerGatheredWritesVfs() ? QStringLiteral("?vfs=%1").arg(QLatin1String(kVfsName)) : QString();
    return QStringLiteral("file:") + file + vfs;
}

}  // namespace platform
