#include "platform/mmio.h"

#include <algorithm>
#include <cstdio>

#include "platform/faults.h"

struct MmioFile {
    std::FILE* file;
    uint64_t size;
};

namespace {

constexpr FOURCC kRiff = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC kList = mmioFOURCC('L', 'I', 'S', 'T');

uint32_t Le32(const unsigned char* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

bool Fault(const char* call, MMRESULT* result) {
    HRESULT code;
    if (!TakeFault(call, &code)) return false;
    *result = MMRESULT(code);
    return true;
}

}  // namespace

HMMIO mmioOpen(const char* fileName, MMIOINFO* info, DWORD flags) {
    MMRESULT fault;
    if (Fault("mmioOpen", &fault)) return nullptr;
    if (!fileName) return nullptr;
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file) return nullptr;
    if (std::fseek(file, 0, SEEK_END) != 0) {
        std::fclose(file);
        return nullptr;
    }
    const long size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return nullptr;
    }
    return new MmioFile{file, uint64_t(size)};
}

MMRESULT mmioDescend(HMMIO mmio, MMCKINFO* chunk, const MMCKINFO* parent, unsigned flags) {
    MMRESULT fault;
    if (Fault("mmioDescend", &fault)) return fault;
    if (!mmio || !chunk) return MMIOERR_CHUNKNOTFOUND;
    uint64_t end = mmio->size;
    if (parent) end = std::min<uint64_t>(end, uint64_t(parent->dwDataOffset) + parent->cksize);
    long at = std::ftell(mmio->file);
    if (at < 0) return MMIOERR_CANNOTSEEK;
    uint64_t pos = uint64_t(at);
    const FOURCC wantedId = chunk->ckid;
    const FOURCC wantedType = chunk->fccType;
    while (pos + 8 <= end) {
        unsigned char header[12];
        if (std::fseek(mmio->file, long(pos), SEEK_SET) != 0) return MMIOERR_CANNOTSEEK;
        if (std::fread(header, 1, 8, mmio->file) != 8) return MMIOERR_CHUNKNOTFOUND;
        const FOURCC id = Le32(header);
        const uint64_t size = Le32(header + 4);
        const uint64_t data = pos + 8;
        // Changed on purpose: RIFF chunks that run past their file (docs/BEHAVIOUR.md).
        // A chunk claiming more than its parent or the file holds ends the search.
        if (data + size > end) return MMIOERR_CHUNKNOTFOUND;
        const bool hasType = id == kRiff || id == kList;
        FOURCC type = 0;
        if (hasType) {
            if (size < 4 || std::fread(header + 8, 1, 4, mmio->file) != 4) return MMIOERR_CHUNKNOTFOUND;
            type = Le32(header + 8);
        }
        bool match = true;
        if (flags & MMIO_FINDRIFF) match = id == kRiff && type == wantedType;
        else if (flags & MMIO_FINDLIST) match = id == kList && type == wantedType;
        else if (flags & MMIO_FINDCHUNK) match = id == wantedId;
        if (match) {
            chunk->ckid = id;
            chunk->cksize = DWORD(size);
            chunk->fccType = type;
            chunk->dwDataOffset = DWORD(data);
            chunk->dwFlags = 0;
            const uint64_t inside = hasType ? data + 4 : data;
            if (std::fseek(mmio->file, long(inside), SEEK_SET) != 0) return MMIOERR_CANNOTSEEK;
            return MMSYSERR_NOERROR;
        }
        pos = data + size + (size & 1);
    }
    return MMIOERR_CHUNKNOTFOUND;
}

LONG mmioRead(HMMIO mmio, char* buffer, LONG bytes) {
    MMRESULT fault;
    if (Fault("mmioRead", &fault)) return -1;
    if (!mmio || !buffer || bytes < 0) return -1;
    return LONG(std::fread(buffer, 1, size_t(bytes), mmio->file));
}

MMRESULT mmioAscend(HMMIO mmio, MMCKINFO* chunk, unsigned flags) {
    MMRESULT fault;
    if (Fault("mmioAscend", &fault)) return fault;
    if (!mmio || !chunk) return MMIOERR_CANNOTSEEK;
    const uint64_t end = uint64_t(chunk->dwDataOffset) + chunk->cksize + (chunk->cksize & 1);
    if (end > uint64_t(0x7FFFFFFF) || std::fseek(mmio->file, long(end), SEEK_SET) != 0) return MMIOERR_CANNOTSEEK;
    return MMSYSERR_NOERROR;
}

MMRESULT mmioClose(HMMIO mmio, unsigned flags) {
    if (!mmio) return MMSYSERR_NOERROR;
    std::fclose(mmio->file);
    delete mmio;
    return MMSYSERR_NOERROR;
}
