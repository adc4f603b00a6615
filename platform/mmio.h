// The RIFF file reader: open a file, descend into a RIFF form of a type, find a
// chunk by id within the current one, read, ascend out of a chunk, close.
#pragma once
#include <cstdint>

#include "platform/win.h"

struct MmioFile;
using HMMIO = MmioFile*;
using FOURCC = DWORD;
using MMRESULT = unsigned;

constexpr FOURCC mmioFOURCC(char a, char b, char c, char d) {
    return DWORD(uint8_t(a)) | DWORD(uint8_t(b)) << 8 | DWORD(uint8_t(c)) << 16 | DWORD(uint8_t(d)) << 24;
}

struct MMIOINFO;

struct MMCKINFO {
    FOURCC ckid;
    DWORD cksize;
    FOURCC fccType;       // the form type of a RIFF or LIST chunk
    DWORD dwDataOffset;   // file offset of the chunk's data
    DWORD dwFlags;
};

constexpr DWORD MMIO_READ = 0x0;
constexpr DWORD MMIO_ALLOCBUF = 0x10000;
constexpr unsigned MMIO_FINDCHUNK = 0x10;
constexpr unsigned MMIO_FINDRIFF = 0x20;
constexpr unsigned MMIO_FINDLIST = 0x40;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMIOERR_FILENOTFOUND = 257;
constexpr MMRESULT MMIOERR_OUTOFMEMORY = 258;
constexpr MMRESULT MMIOERR_CANNOTOPEN = 259;
constexpr MMRESULT MMIOERR_CANNOTREAD = 261;
constexpr MMRESULT MMIOERR_CANNOTSEEK = 263;
constexpr MMRESULT MMIOERR_CHUNKNOTFOUND = 265;

// Null when the file cannot be opened. Only reading is offered.
HMMIO mmioOpen(const char* fileName, MMIOINFO* info, DWORD flags);
// Finds a chunk from the current position to the end of `parent` (or of the file)
// and moves to its data. A chunk whose size runs past its parent or past the end
// of the file is never found: the layer will not hand out data that is not there.
MMRESULT mmioDescend(HMMIO file, MMCKINFO* chunk, const MMCKINFO* parent, unsigned flags);
// Bytes read; fewer at the end of the file, -1 on error.
LONG mmioRead(HMMIO file, char* buffer, LONG bytes);
// Moves to the end of the chunk (past its pad byte).
MMRESULT mmioAscend(HMMIO file, MMCKINFO* chunk, unsigned flags);
MMRESULT mmioClose(HMMIO file, unsigned flags);
