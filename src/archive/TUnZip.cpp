#include "archive/TUnZip.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>

#include "archive/crc32.h"
#include "archive/inflate.h"
#include "archive/legacy_decoders.h"
#include "archive/wildcard.h"
#include "archive/zip_format.h"

namespace hk::archive {

// One member listed by a walk, in walk order.
struct TUnZip::HeaderEntry {
    uint32_t attributes = 0;  // external attributes (0 from a local-header walk)
    uint16_t disk = 1;
    uint8_t selector = 0;  // 1 for entries of the twin walk
    uint32_t offset = 0;   // of the local header
    // What the central directory knows that the local header may leave out.
    bool fromCentral = false;
    uint32_t centralCompressed = 0;
    uint32_t centralCrc = 0;
    uint32_t centralUncompressed = 0;
    std::string name;         // converted, as the walk read it
    uint32_t date = 0;        // DOS time and date
    uint32_t listedSize = 0;  // uncompressed size, for the progress total
};

// A directory walked once for many extractions.
struct TUnZip::Listing {
    ReadOnlyFile file;
    uint32_t fileSize = 0;
    std::vector<HeaderEntry> entries;
    // Entries by the upper-cased file part of their name, which is all a
    // plain pattern compares; names holding wildcards of their own take the
    // full test and are kept aside.
    std::unordered_map<std::string, std::vector<uint32_t>> byFile;
    std::vector<uint32_t> wildNamed;
};

struct TUnZip::LocalHeader {
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t time = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint16_t nameLength = 0;
    uint16_t extraLength = 0;

    static LocalHeader parse(const uint8_t* h) {
        LocalHeader l;
        l.flags = le16(h + 6);
        l.method = le16(h + 8);
        l.time = le16(h + 10);
        l.crc = le32(h + 14);
        l.compressedSize = le32(h + 18);
        l.uncompressedSize = le32(h + 22);
        l.nameLength = le16(h + 26);
        l.extraLength = le16(h + 28);
        return l;
    }
    bool encrypted() const { return flags & 1; }
    bool hasDataDescriptor() const { return flags & 8; }
    // ZIP64 writers leave 0xFFFFFFFF here and keep the sizes in an extra field.
    bool zip64Sizes() const {
        return compressedSize == 0xFFFFFFFF || uncompressedSize == 0xFFFFFFFF;
    }
};

namespace {

constexpr uint8_t kEndFound = 1;
constexpr uint8_t kCentralFound = 8;
constexpr uint8_t kLocalFound = 16;
constexpr uint32_t kFolderAttribute = 0x10;
constexpr uint32_t kVolumeAttribute = 0x08;
constexpr size_t kScanBlock = 32768;
constexpr size_t kHeadBytes = 32767;
// Stored members are copied in the chunks that progress is reported by.
constexpr size_t kStoredChunk = 32768;
// The directory is read in blocks this large, small enough to stay in cache.
constexpr size_t kDirectoryBlock = 65536;
constexpr uint32_t kUnknownSize = 0xFFFFFFFF;
// Room the output keeps past a member's declared size, so that a decoder
// writing a little ahead of its last byte does not move the whole stream.
constexpr size_t kOutputSlack = 65536;
// The largest expansion of a deflate stream: a reservation, not a limit.
constexpr uint64_t kDeflateRatio = 1032;
// Buffers larger than this are given back after the member that needed them.
constexpr size_t kKeptBuffer = size_t{16} << 20;

// Offsets and sizes in the format are 32-bit; larger files are not archives we read.
constexpr uint64_t kLargestArchive = (uint64_t{1} << 31) - 1;

// The stream as a whole is bounded too: directory entries that all point at
// one expanding member would otherwise multiply the member ceiling.
constexpr size_t kStreamCeiling = 2 * kMemberCeiling;

bool recognised(TArcType t) {
    if (t < TArcType::atAce) return false;
    switch (t) {
        case TArcType::atHa:
        case TArcType::atJarExe:
        case TArcType::atMsGZ:
        case TArcType::atPak:
        case TArcType::atPakExe:
            return false;
        default:
            return true;
    }
}

uint32_t crcStep(uint32_t crc, uint8_t byte) {
    return crc32Byte(crc, byte);
}

}  // namespace

TUnZip::TUnZip() : inflater_(std::make_unique<Inflater>()) {}
TUnZip::~TUnZip() = default;

void TUnZip::SetZipCmntBufSize(int size) {
    zipCmntBufSize_ = std::clamp(size, 2000, 32767);
}

// ---------------------------------------------------------------------------
// Errors

bool TUnZip::raiseError(const std::string& filename, ErrorCode code) {
    if (cancel_) code = ErrorCode::UserCanceled;
    if (OnError) OnError(filename, "", "0", static_cast<int>(code));
    if (cancel_) return false;  // a canceled run winds down without raising
    throw E_RAISE(code, errorText(code));
}

void TUnZip::reportError(const std::string& filename, const std::string& detail, ErrorCode code) {
    if (cancel_) code = ErrorCode::UserCanceled;
    if (OnError) OnError(filename, detail, "0", static_cast<int>(code));
}

// ---------------------------------------------------------------------------
// Type detection and the end-record search

void TUnZip::SetArchiveFile(const std::string& path) {
    // Paths stay as given: on this platform "/" is the separator and "\" a
    // legal file-name character.
    archiveFile_ = path;
    listing_.reset();
    detectType();
}

void TUnZip::detectType() {
    endFlags_ = 0;
    startOffset_ = 0;
    endRecord_ = {};
    fileSize_ = 0;
    if (archiveFile_.empty()) {
        arcType_ = TArcType::atNA;
        return;
    }
    arcType_ = TArcType::atFileOpenErr;
    ReadOnlyFile file;
    if (!file.open(archiveFile_)) {
        reportError(archiveFile_, "", ErrorCode::OpenError);
        return;
    }
    if (file.size() > kLargestArchive) {
        arcType_ = TArcType::atUnknown;
        return;
    }
    fileSize_ = static_cast<uint32_t>(file.size());
    if (fileSize_ <= 19) return;

    uint8_t* head = directory_.prepare(kHeadBytes);
    const size_t headSize = file.readAt(0, head, std::min<size_t>(fileSize_, kHeadBytes));
    if (headSize >= 2 && head[0] == 'M' && head[1] == 'Z') {
        // Self-extracting programs are not examined.
        arcType_ = TArcType::atUnknown;
        return;
    }
    size_t zeros = 0;
    while (zeros < headSize && head[zeros] == 0) ++zeros;
    bool zip = false;
    bool marked = false;
    if (zeros + 4 <= headSize) {
        const uint32_t lead = le32(head + zeros);
        if ((lead & 0xFFFF) == 0x4B50) {
            marked = true;
            const uint32_t high = lead >> 16;
            zip = high != 0x0201 && high != 0x3447;
        }
    }

    const EndSearch found = searchEndRecord(file);
    if (found.zip64) {
        // The classic directory fields are placeholders: a ZIP64 archive,
        // whose offsets and sizes this reader does not follow.
        arcType_ = TArcType::atUnsupported;
        endFlags_ = 0;
        return;
    }
    if (!zip) {
        // Nothing at the start says ZIP; an end record with a valid first
        // local header behind it still does.
        if ((endFlags_ & kEndFound) && (endFlags_ & kLocalFound)) {
            zip = true;
        } else {
            arcType_ = marked ? TArcType::atNA : TArcType::atUnknown;
            endFlags_ = 0;
            return;
        }
    }
    startOffset_ = found.start;
    if (!(endFlags_ & kLocalFound) && startOffset_ == 0) {
        startOffset_ = static_cast<uint32_t>(zeros);
        endFlags_ |= kLocalFound;
    }
    arcType_ = TArcType::atZip;
    if (archiveFile_.size() >= 4) {
        std::string ext = archiveFile_.substr(archiveFile_.size() - 4);
        for (char& c : ext) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        if (ext == ".JAR") arcType_ = TArcType::atJar;
    }
}

TUnZip::EndSearch TUnZip::searchEndRecord(const ReadOnlyFile& file) {
    endFlags_ = 0;
    size_t tail = static_cast<size_t>(zipCmntBufSize_) + 23;
    if (fileSize_ < tail) {
        if (zipCmntBufSize_ == 0)
            tail = 23;
        else
            tail = fileSize_ <= 32768 ? fileSize_ - 1 : 32768;
    }
    // Positions 1 to tail - 22 are tested: a tail of 22 bytes or less has none.
    if (tail >= fileSize_ || tail <= kEndRecordSize) return {};

    uint8_t* block = directory_.prepare(tail);
    if (file.readAt(fileSize_ - tail, block, tail) != tail) return {};
    size_t hit = 0;
    for (size_t pos = tail - kEndRecordSize; pos >= 1; --pos) {
        if (le32(block + pos) == kEndSignature) {
            hit = pos;
            break;
        }
    }
    if (hit == 0) return {};

    std::copy_n(block + hit, kEndRecordSize, endRecord_.begin());
    endFlags_ = kEndFound;
    const uint32_t directory = le32(endRecord_.data() + 16);
    uint8_t central[kCentralHeaderSize];
    if (file.readAt(directory, central, sizeof central) == sizeof central &&
        le32(central) == kCentralSignature) {
        endFlags_ |= kCentralFound;
        uint8_t local[kLocalHeaderSize];
        if (file.readAt(le32(central + 42), local, sizeof local) == sizeof local &&
            le32(local) == kLocalSignature)
            endFlags_ |= kLocalFound;
        return {directory, false};
    }
    if (isZip64WithoutClassicDirectory(file, fileSize_ - tail + hit)) {
        endFlags_ = 0;
        return {0, true};
    }

    // The directory is not where the end record says: look for the first
    // local header near the start instead.
    uint8_t* scan = directory_.prepare(kScanBlock);
    for (uint64_t blockStart = 0, n = 0; n < 4; ++n, blockStart += kScanBlock) {
        const size_t got = file.readAt(blockStart, scan, kScanBlock);
        for (size_t pos = 0; pos + 4 <= got; ++pos) {
            if (le32(scan + pos) == kLocalSignature) {
                endFlags_ = kLocalFound;
                return {static_cast<uint32_t>(blockStart + pos), false};
            }
        }
        if (got < kScanBlock) break;
    }
    return {};
}

// A ZIP64 archive keeps a locator right before the classic end record,
// pointing at its own end record.
bool TUnZip::isZip64WithoutClassicDirectory(const ReadOnlyFile& file, uint64_t endRecordAt) const {
    constexpr size_t kZip64EndSize = 56;
    if (endRecordAt < kZip64EndSize + kZip64LocatorSize) return false;
    uint8_t locator[kZip64LocatorSize];
    if (file.readAt(endRecordAt - kZip64LocatorSize, locator, sizeof locator) != sizeof locator ||
        le32(locator) != kZip64LocatorSignature)
        return false;
    const uint64_t zip64End = le64(locator + 8);
    if (zip64End > endRecordAt - kZip64LocatorSize - kZip64EndSize) return false;
    uint8_t record[4];
    return file.readAt(zip64End, record, sizeof record) == sizeof record &&
           le32(record) == kZip64EndSignature;
}

// ---------------------------------------------------------------------------
// The run

int TUnZip::ExtractToMemory(TDecompMemoryStream* stream) {
    if (!stream) {
        raiseError(archiveFile_, ErrorCode::UninitializedStream);
        return 0;
    }
    stream_ = stream;
    try {
        extractRun();
    } catch (...) {
        stream->SetPosition(0);
        stream_ = nullptr;
        throw;
    }
    stream->SetPosition(0);
    stream_ = nullptr;
    return count_;
}

void TUnZip::startRun() {
    cancel_ = false;
    count_ = 0;
    totalBytes_ = doneBytes_ = 0;
    newestDate_ = 0;
    passwordFailed_ = false;
    claimed_.clear();
    if (CpuType == TCpuType::cpt80486) CpuType = TCpuType::cptAuto;
}

// Raises for an archive a run cannot read; false only when canceled.
bool TUnZip::openArchive(ReadOnlyFile& file) {
    if (archiveFile_.empty()) return raiseError(archiveFile_, ErrorCode::FileNotFound);
    if (!recognised(arcType_)) return raiseError(archiveFile_, ErrorCode::UnsupportedArchive);
    if (!file.open(archiveFile_) || file.size() > kLargestArchive)
        return raiseError(archiveFile_, ErrorCode::OpenError);
    fileSize_ = static_cast<uint32_t>(file.size());
    return true;
}

void TUnZip::compilePatterns() {
    // Patterns may be written with either separator; names use "\".
    patterns_.clear();
    for (const std::string& line : fileSpec_) {
        Pattern p;
        p.text = line;
        std::replace(p.text.begin(), p.text.end(), '/', '\\');
        p.everything = line == "*.*";
        p.plain = p.text.find_first_of("*?\\") == std::string::npos;
        p.upper = p.text;
        for (char& c : p.upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        patterns_.push_back(std::move(p));
    }
    plainPatterns_ =
        std::all_of(patterns_.begin(), patterns_.end(), [](const Pattern& p) { return p.plain; });
}

void TUnZip::walk(const ReadOnlyFile& file, std::vector<HeaderEntry>& entries) {
    if (endFlags_ == kLocalFound)
        walkLocalHeaders(file, entries);
    else
        walkCentral(file, endRecord_, entries);
}

void TUnZip::extractEntries(const ReadOnlyFile& file,
                            const std::vector<const HeaderEntry*>& entries) {
    for (const HeaderEntry* entry : entries) {
        if (cancel_) break;
        extractEntry(file, *entry);
    }
}

void TUnZip::extractRun() {
    startRun();
    ReadOnlyFile file;
    if (!openArchive(file)) return;
    if (OnActivate) OnActivate();
    currentPassword_.clear();
    compilePatterns();
    try {
        std::vector<HeaderEntry> entries;
        walk(file, entries);
        std::vector<const HeaderEntry*> order;
        order.reserve(entries.size());
        for (const HeaderEntry& entry : entries) order.push_back(&entry);
        extractEntries(file, order);
    } catch (...) {
        // Failures inside the walk end the walk, never the run: what was
        // extracted so far stays in the stream.
    }
    if (OnDeactivate) OnDeactivate();
}

void TUnZip::ListDirectory() {
    listing_.reset();
    startRun();
    auto listing = std::make_unique<Listing>();
    if (!openArchive(listing->file)) return;
    listing->fileSize = fileSize_;
    listAll_ = true;
    try {
        walk(listing->file, listing->entries);
    } catch (...) {
        listing->entries.clear();  // a run would have extracted nothing either
    }
    listAll_ = false;
    for (uint32_t i = 0; i < listing->entries.size(); ++i) {
        const std::string& name = listing->entries[i].name;
        if (name.find_first_of("*?") != std::string::npos) {
            listing->wildNamed.push_back(i);
            continue;
        }
        std::string key = name.substr(name.rfind('\\') + 1);
        for (char& c : key) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        listing->byFile[key].push_back(i);
    }
    listing_ = std::move(listing);
}

void TUnZip::ForgetDirectory() {
    listing_.reset();
}

int TUnZip::ExtractListed(TDecompMemoryStream* stream) {
    if (!listing_) return ExtractToMemory(stream);
    if (!stream) {
        raiseError(archiveFile_, ErrorCode::UninitializedStream);
        return 0;
    }
    stream_ = stream;
    startRun();
    fileSize_ = listing_->fileSize;
    if (OnActivate) OnActivate();
    currentPassword_.clear();
    compilePatterns();
    try {
        // Plain patterns look their names up; anything else is tested
        // against every entry, as a walk would.
        const std::vector<HeaderEntry>& entries = listing_->entries;
        std::vector<uint32_t> candidates;
        if (plainPatterns_) {
            for (const Pattern& pattern : patterns_) {
                const auto found = listing_->byFile.find(pattern.upper);
                if (found != listing_->byFile.end())
                    candidates.insert(candidates.end(), found->second.begin(), found->second.end());
            }
            candidates.insert(candidates.end(), listing_->wildNamed.begin(),
                              listing_->wildNamed.end());
            std::sort(candidates.begin(), candidates.end());
            candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        } else {
            candidates.resize(entries.size());
            for (uint32_t i = 0; i < candidates.size(); ++i) candidates[i] = i;
        }
        std::vector<const HeaderEntry*> chosen;
        for (const uint32_t i : candidates) {
            const HeaderEntry& entry = entries[i];
            if (!matches(entry.name)) continue;
            chosen.push_back(&entry);
            newestDate_ = std::max(newestDate_, entry.date);
            totalBytes_ += entry.listedSize;
        }
        extractEntries(listing_->file, chosen);
    } catch (...) {
    }
    if (OnDeactivate) OnDeactivate();
    stream->SetPosition(0);
    stream_ = nullptr;
    return count_;
}

void TUnZip::walkLocalHeaders(const ReadOnlyFile& file, std::vector<HeaderEntry>& entries) {
    if (OnCorruptZipHeader) {
        bool cancel = true;
        OnCorruptZipHeader(endFlags_, cancel);
        if (cancel) return;
    }
    uint64_t offset = startOffset_;
    uint8_t h[kLocalHeaderSize];
    size_t got = file.readAt(offset, h, sizeof h);
    if (got >= 4 && le32(h) == kSpanningSignature) {
        offset += 4;
        got = file.readAt(offset, h, sizeof h);
    }
    uint8_t name[255];
    bool searchedEnd = false;
    // Every step moves forward by at least one header, so the walk ends.
    while (got == sizeof h && le32(h) == kLocalSignature && !cancel_) {
        const LocalHeader l = LocalHeader::parse(h);
        if ((l.hasDataDescriptor() || l.zip64Sizes()) && !searchedEnd) {
            // The next header is not where this one's sizes say (a data
            // descriptor follows the data, or the sizes are placeholders).
            // Info-ZIP writes a descriptor after every encrypted member, so
            // an archive with a comment would end here: the directory,
            // found behind a comment of any length, lists them all.
            searchedEnd = true;
            if (walkFromCommentedEnd(file, entries)) return;
        }
        const size_t nameBytes = std::min<size_t>(l.nameLength, sizeof name);
        const size_t nameGot = file.readAt(offset + kLocalHeaderSize, name, nameBytes);
        if (listable(name, nameGot)) {
            HeaderEntry e;
            e.selector = (l.flags & 0x40) ? 1 : 0;
            e.offset = static_cast<uint32_t>(offset);
            e.name = convertName(name, nameGot);
            e.date = le32(h + 10);
            e.listedSize = l.uncompressedSize;
            newestDate_ = std::max(newestDate_, e.date);
            totalBytes_ += l.uncompressedSize;
            entries.push_back(std::move(e));
        }
        offset += kLocalHeaderSize + l.nameLength + l.extraLength + uint64_t{l.compressedSize};
        if (offset > kLargestArchive) break;
        got = file.readAt(offset, h, sizeof h);
    }
}

bool TUnZip::walkFromCommentedEnd(const ReadOnlyFile& file, std::vector<HeaderEntry>& entries) {
    const size_t tail = static_cast<size_t>(std::min<uint64_t>(fileSize_, kLongestEndSearch));
    uint8_t* block = directory_.prepare(tail);
    if (file.readAt(fileSize_ - tail, block, tail) != tail) return false;
    const std::optional<size_t> at = findEndRecord(std::span<const uint8_t>(block, tail));
    if (!at) return false;
    std::array<uint8_t, kEndRecordSize> endRecord;
    std::copy_n(block + *at, kEndRecordSize, endRecord.begin());
    uint8_t central[kCentralHeaderSize];
    if (file.readAt(le32(endRecord.data() + 16), central, sizeof central) != sizeof central ||
        le32(central) != kCentralSignature)
        return false;
    entries.clear();
    newestDate_ = 0;
    totalBytes_ = 0;
    walkCentral(file, endRecord, entries);
    return true;
}

void TUnZip::walkCentral(const ReadOnlyFile& file, const std::array<uint8_t, 22>& endRecord,
                         std::vector<HeaderEntry>& entries) {
    const uint64_t directory = le32(endRecord.data() + 16);
    if (directory >= fileSize_) return;
    // The directory is read block by block; a header that runs past the
    // block pulls in a fresh one starting at that header.
    uint64_t blockStart = directory;
    size_t blockSize = 0;
    const uint8_t* block = nullptr;
    auto have = [&](uint64_t at, size_t need) {
        if (at >= blockStart && at + need <= blockStart + blockSize) return true;
        if (at + need > fileSize_) return false;
        const size_t want = static_cast<size_t>(
            std::min<uint64_t>(std::max(kDirectoryBlock, need), fileSize_ - at));
        uint8_t* data = directory_.prepare(want);
        blockSize = file.readAt(at, data, want);
        blockStart = at;
        block = data;
        return need <= blockSize;
    };

    uint64_t offset = directory;
    bool first = true;
    bool twin = false;
    // Headers follow one another forward within the file, so the walk cannot
    // loop and visits at most file size / 46 entries.
    while (!cancel_ && have(offset, kCentralHeaderSize)) {
        const uint8_t* h = block + (offset - blockStart);
        if (le32(h) != kCentralSignature) break;
        const uint16_t flags = le16(h + 8);
        if (first) {
            twin = flags & 0x40;
            first = false;
        }
        const uint16_t nameLength = le16(h + 28);
        const uint64_t next =
            offset + kCentralHeaderSize + nameLength + le16(h + 30) + uint64_t{le16(h + 32)};
        HeaderEntry e;
        e.attributes = le32(h + 38);
        e.disk = static_cast<uint16_t>(le16(h + 34) + 1);
        e.selector = twin ? 1 : 0;
        e.offset = le32(h + 42);
        e.fromCentral = true;
        e.centralCompressed = le32(h + 20);
        e.centralCrc = le32(h + 16);
        e.centralUncompressed = le32(h + 24);
        const uint32_t date = le32(h + 12);
        const size_t nameBytes = std::min<size_t>(nameLength, 255);
        if (!have(offset + kCentralHeaderSize, nameBytes)) break;
        const uint8_t* storedName = block + (offset + kCentralHeaderSize - blockStart);
        if (listable(storedName, nameBytes)) {
            e.name = convertName(storedName, nameBytes);
            e.date = date;
            e.listedSize = e.centralUncompressed;
            uint8_t local[kLocalHeaderSize];
            if (file.readAt(e.offset, local, sizeof local) == sizeof local &&
                le32(local) == kLocalSignature) {
                if (twin) e.centralCompressed = 0;  // the twin walk takes no fallback
                entries.push_back(std::move(e));
                newestDate_ = std::max(newestDate_, date);
                totalBytes_ += e.centralUncompressed;
            }
        }
        offset = next;
    }
}

void TUnZip::extractEntry(const ReadOnlyFile& file, const HeaderEntry& entry) {
    uint8_t h[kLocalHeaderSize];
    if (file.readAt(entry.offset, h, sizeof h) != sizeof h) return;
    LocalHeader header = LocalHeader::parse(h);
    uint8_t nameBytes[255];
    const size_t nameGot = file.readAt(entry.offset + kLocalHeaderSize, nameBytes,
                                       std::min<size_t>(header.nameLength, sizeof nameBytes));
    const std::string name = convertName(nameBytes, nameGot);
    if (header.compressedSize == 0) header.compressedSize = entry.centralCompressed;
    const uint64_t dataOffset =
        uint64_t{entry.offset} + kLocalHeaderSize + header.nameLength + header.extraLength;
    const std::string target = targetName(name);

    try {
        if (header.encrypted() && !passwordFailed_ &&
            !passwordTrial(file, header, dataOffset, target))
            passwordFailed_ = true;
        if (entry.attributes & (kFolderAttribute | kVolumeAttribute)) return;
        // Only the ordinary central walk vouches for sizes the local header
        // leaves to a data descriptor.
        const bool directorySizes = entry.fromCentral && entry.selector == 0;
        if (entry.fromCentral) {
            // Streaming writers leave zeros (data descriptor) or 0xFFFFFFFF
            // (sizes unknown yet) in the local header where the directory
            // holds the real checksum and sizes.
            if (header.hasDataDescriptor()) header.crc = entry.centralCrc;
            if (header.uncompressedSize == kUnknownSize ||
                (header.uncompressedSize == 0 && header.hasDataDescriptor()))
                header.uncompressedSize = entry.centralUncompressed;
            if (header.compressedSize == kUnknownSize && entry.centralCompressed != 0)
                header.compressedSize = entry.centralCompressed;
        }
        // Without its sizes a member's data cannot be told from what follows
        // it: copying "up to the size" would deliver the rest of the archive.
        const bool located =
            !header.zip64Sizes() &&
            (directorySizes || !header.hasDataDescriptor() || header.compressedSize != 0);

        bool extract = true;
        if (OverwriteMode == TOverwriteMode::omOverwrite && OnBegin)
            OnBegin(target, count_, extract);
        if (cancel_ || !extract || OverwriteMode != TOverwriteMode::omOverwrite ||
            (ConfirmOverwrites && target.empty())) {
            progress(header.uncompressedSize, header.uncompressedSize);
            doneBytes_ += header.uncompressedSize;
            return;
        }
        ++count_;
        if (header.encrypted() && passwordFailed_) {
            --count_;
            progress(header.uncompressedSize, header.uncompressedSize);
            doneBytes_ += header.uncompressedSize;
            return;
        }
        if (SingleMember && count_ > 1) {
            // The caller's outcome is known: the count is all that matters now.
            addRecord(header, name);
            progress(header.uncompressedSize, header.uncompressedSize);
            doneBytes_ += header.uncompressedSize;
            return;
        }
        std::optional<ErrorCode> damage;
        if (!located) {
            damage = ErrorCode::BadBlock;
        } else if (entry.fromCentral && name != entry.name) {
            damage = ErrorCode::MismatchedName;
        } else {
            // What the decoder may read: a stored member is copied by its
            // uncompressed size.
            uint64_t end = dataOffset + header.compressedSize;
            if (header.method == 0)
                end = std::max(end, dataOffset + (header.encrypted() ? 12 : 0) +
                                        uint64_t{header.uncompressedSize});
            if (!claim(entry.offset, std::max(dataOffset, std::min<uint64_t>(end, fileSize_))))
                damage = ErrorCode::OverlappedData;
        }
        decodeMember(file, header, dataOffset, damage, name, target);
    } catch (...) {
        // A member's failure never ends the run; its record and bytes stay.
    }
}

// Claims the span of a member about to be decoded; false when it overlaps
// one already claimed in this run. Sound archives never overlap: one member
// delivered again and again under other entries is the overlap zip bomb.
bool TUnZip::claim(uint64_t start, uint64_t end) {
    auto next = claimed_.upper_bound(start);
    if (next != claimed_.end() && next->first < end) return false;
    if (next != claimed_.begin() && std::prev(next)->second > start) return false;
    claimed_.emplace_hint(next, start, end);
    return true;
}

void TUnZip::addRecord(const LocalHeader& header, const std::string& name) {
    MemberInfoRecord record{};
    record.uncompressedSize = header.uncompressedSize;
    record.streamPosition = static_cast<uint32_t>(stream_->Size());
    record.name[0] = static_cast<uint8_t>(std::min<size_t>(name.size(), 255));
    std::memcpy(record.name + 1, name.data(), record.name[0]);
    stream_->AddMemberInfo(record);
}

// A damaged entry (`damage` set) is counted with its record but gives no
// bytes and fails its CRC verdict.
void TUnZip::decodeMember(const ReadOnlyFile& file, const LocalHeader& header, uint64_t dataOffset,
                          std::optional<ErrorCode> damage, const std::string& name,
                          const std::string& target) {
    StreamBytes& bytes = stream_->Bytes();
    const size_t before = bytes.size();
    addRecord(header, name);

    const bool encrypted = header.encrypted();
    const uint64_t start = dataOffset + (encrypted ? 12 : 0);
    const uint64_t available = start < fileSize_ ? fileSize_ - start : 0;
    const size_t ceiling =
        std::min(kMemberCeiling, kStreamCeiling - std::min(before, kStreamCeiling));
    ErrorCode failure{};
    bool failed = false;
    try {
        if (damage) {
            throw DecodeError(*damage);
        } else if (header.method == 0) {
            copyStored(file, header, start, available, ceiling);
        } else if (header.method == 8 || (header.method >= 1 && header.method <= 6)) {
            // The member's data in one read, decrypted in place.
            uint64_t size = header.compressedSize;
            size = encrypted ? (size >= 12 ? size - 12 : 0) : size;
            // No method needs more than twice the ceiling in input to reach
            // the ceiling in output; a lying size reads no further.
            size = std::min({size, available, uint64_t{2} * kMemberCeiling});
            uint8_t* data = compressed_.prepare(static_cast<size_t>(size));
            const size_t got = file.readAt(start, data, static_cast<size_t>(size));
            if (encrypted) decryptBuffer(data, got);
            const std::span<const uint8_t> input(data, got);
            // Room for the declared size up front, so an honest member is
            // written once into one block; a lying size only costs address
            // space, since untouched pages take no memory.
            const uint64_t plausible = got * kDeflateRatio + 1024;
            stream_->Reserve(static_cast<size_t>(std::min<uint64_t>(
                                 {header.uncompressedSize, ceiling, plausible})) +
                             kOutputSlack);
            auto report = [&](size_t produced) {
                progress(produced, header.uncompressedSize);
                return cancel_;
            };
            if (header.method == 8) {
                inflater_->inflate(input, bytes, header.uncompressedSize, report, ceiling);
            } else {
                MemberOutput out(bytes, ceiling, report);
                if (header.method == 1)
                    Unshrink(input, out);
                else if (header.method == 6)
                    Explode(input, header.flags, header.uncompressedSize, out);
                else
                    Unreduce(input, header.method - 1, header.uncompressedSize, out);
            }
            progress(header.uncompressedSize, header.uncompressedSize);
        } else {
            reportError(target, "", ErrorCode::UnsupportedMethod);
        }
    } catch (const DecodeError& e) {
        failed = true;
        failure = e.code();
    } catch (const DecodingStopped&) {
        // Canceled from a progress event: the member ends where it is.
    } catch (const std::bad_alloc&) {
        failed = true;
        failure = ErrorCode::OutOfMemory;
    }
    compressed_.trim(kKeptBuffer);
    doneBytes_ += header.uncompressedSize;

    const uint32_t crc = crc32Update(0xFFFFFFFFu, bytes.data() + before, bytes.size() - before);
    const bool pass = !damage && (header.crc == crc || header.crc == ~crc);
    if (OnEnd)
        OnEnd(name, pass);
    else if (!pass)
        reportError(target, "", ErrorCode::CrcFailed);
    if (failed) raiseError(target, failure);  // dropped by the caller's guard
}

// Stored data is copied by its uncompressed size, chunk by chunk, so that
// progress (and the event pump behind it) keeps running.
void TUnZip::copyStored(const ReadOnlyFile& file, const LocalHeader& header, uint64_t start,
                        uint64_t available, size_t ceiling) {
    StreamBytes& bytes = stream_->Bytes();
    uint64_t left = std::min<uint64_t>(header.uncompressedSize, available);
    const bool tooLarge = left > ceiling;
    if (tooLarge) left = ceiling;
    stream_->Reserve(static_cast<size_t>(left));
    uint8_t* chunk = compressed_.prepare(kStoredChunk);
    uint64_t done = 0;
    while (left > 0 && !cancel_) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(left, kStoredChunk));
        const size_t got = file.readAt(start + done, chunk, want);
        if (header.encrypted()) decryptBuffer(chunk, got);
        bytes.insert(bytes.end(), chunk, chunk + got);
        done += got;
        left -= got;
        progress(done, header.uncompressedSize);
        if (got < want) break;
    }
    if (tooLarge) throw DecodeError(ErrorCode::BadBlock);
}

// ---------------------------------------------------------------------------
// Traditional decryption

bool TUnZip::passwordTrial(const ReadOnlyFile& file, const LocalHeader& header, uint64_t dataOffset,
                           const std::string& target) {
    encryptionHeaderSize_ = file.readAt(dataOffset, encryptionHeader_.data(), 12);
    if (checkPassword(currentPassword_, header)) return true;
    for (const std::string& candidate : passwords_) {
        currentPassword_ = candidate;
        if (checkPassword(candidate, header)) return true;
    }
    if (OnGetPassword) {
        for (int attempt = 0; attempt < PasswordAttempts; ++attempt) {
            if (cancel_) break;
            std::string password = currentPassword_;
            bool tryAgain = true;
            OnGetPassword(target, password, tryAgain);
            if (!tryAgain) break;
            if (checkPassword(password, header)) {
                currentPassword_ = password;
                passwords_.insert(passwords_.begin(), password);
                return true;
            }
            currentPassword_.clear();
            reportError(target, "", ErrorCode::InvalidPassword);
        }
    } else {
        reportError(target, "OnGetPassword", ErrorCode::MissingEvent);
    }
    return false;
}

bool TUnZip::checkPassword(const std::string& password, const LocalHeader& header) {
    // Strong encryption is not traditional encryption: no password opens it here.
    if (password.empty() || encryptionHeaderSize_ < 12 || (header.flags & 0x40)) return false;
    keys_ = {0x12345678u, 0x23456789u, 0x34567890u};
    auto update = [this](uint8_t plain) {
        keys_[0] = crcStep(keys_[0], plain);
        keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
        keys_[2] = crcStep(keys_[2], static_cast<uint8_t>(keys_[1] >> 24));
    };
    for (char c : password) update(static_cast<uint8_t>(c));
    uint8_t plain = 0;
    for (uint8_t cipher : encryptionHeader_) {
        const uint32_t t = (keys_[2] & 0xFFFF) | 2;
        plain = static_cast<uint8_t>(cipher ^ ((t * (t ^ 1)) >> 8));
        update(plain);
    }
    const uint8_t expected = (header.flags & 8) ? static_cast<uint8_t>(header.time >> 8)
                                                : static_cast<uint8_t>(header.crc >> 24);
    return plain == expected;
}

void TUnZip::decryptBuffer(uint8_t* data, size_t size) {
    uint32_t k0 = keys_[0], k1 = keys_[1], k2 = keys_[2];
    for (size_t i = 0; i < size; ++i) {
        const uint32_t t = (k2 & 0xFFFF) | 2;
        const uint8_t plain = static_cast<uint8_t>(data[i] ^ ((t * (t ^ 1)) >> 8));
        data[i] = plain;
        k0 = crcStep(k0, plain);
        k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
        k2 = crcStep(k2, static_cast<uint8_t>(k1 >> 24));
    }
    keys_ = {k0, k1, k2};
}

// ---------------------------------------------------------------------------
// Names

// Whether a walk lists the entry of this stored name. Folder entries never
// are: their empty file part would match every pattern. The walks ask this of
// every entry and most names fail on their length alone, so plain patterns
// are compared with the stored bytes without making a name first.
bool TUnZip::listable(const uint8_t* bytes, size_t length) const {
    length = std::min<size_t>(length, 255);
    size_t end = 0;
    size_t fileStart = 0;
    bool wild = false;
    for (; end < length && bytes[end] != 0; ++end) {
        const uint8_t c = bytes[end];
        if (c == '/' || c == '\\') fileStart = end + 1;
        wild |= c == '*' || c == '?';
    }
    if (fileStart == end) return false;  // an empty name, or a folder
    if (listAll_) return true;
    if (wild || !plainPatterns_) return matches(convertName(bytes, end));
    const size_t fileLength = end - fileStart;
    for (const Pattern& pattern : patterns_) {
        if (pattern.upper.size() != fileLength) continue;
        size_t i = 0;
        for (; i < fileLength; ++i) {
            uint8_t c = bytes[fileStart + i];
            if (TranslateOemChar) c = oemToAnsi(c);
            if (c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 32);
            if (c != static_cast<uint8_t>(pattern.upper[i])) break;
        }
        if (i == fileLength) return true;
    }
    return false;
}

std::string TUnZip::convertName(const uint8_t* bytes, size_t length) const {
    length = std::min<size_t>(length, 255);
    // The name buffer is a zero-terminated text: a zero byte ends the name.
    size_t end = 0;
    bool high = false;
    while (end < length && bytes[end] != 0) high |= bytes[end++] >= 0x80;
    std::string name(reinterpret_cast<const char*>(bytes), end);
    if (TranslateOemChar && high) oemToAnsi(name);
    for (char& c : name)
        if (c == '/') c = '\\';
    return name;
}

bool TUnZip::matches(const std::string& name) const {
    // One pass over the name finds its file part and whether it holds
    // wildcards of its own.
    size_t fileStart = 0;
    bool wild = false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\') fileStart = i + 1;
        wild |= name[i] == '*' || name[i] == '?';
    }
    const std::string_view file = std::string_view(name).substr(fileStart);
    for (const Pattern& pattern : patterns_) {
        if (pattern.everything) return true;
        if (pattern.plain && !wild && !file.empty()) {
            // A plain file name: equal file parts, letters a-z folded.
            if (file.size() != pattern.text.size()) continue;
            bool same = true;
            for (size_t i = 0; i < file.size() && same; ++i) {
                const char c = file[i];
                same = ((c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c) == pattern.upper[i];
            }
            if (same) return true;
            continue;
        }
        if (wildcardMatch(name, pattern.text)) return true;
    }
    return false;
}

std::string TUnZip::targetName(const std::string& memberName) const {
    std::string dir = ExtractDir;
    if (dir.empty()) {
        const size_t slash = archiveFile_.find_last_of("/\\");
        if (slash != std::string::npos) dir = archiveFile_.substr(0, slash + 1);
    }
    std::string rest = memberName;
    if (UseStoredDirs) {
        if (rest.size() >= 2 && rest[1] == ':')
            rest.erase(0, rest.size() >= 3 && rest[2] == '\\' ? 3 : 2);
        if (!rest.empty() && rest[0] == '\\') rest.erase(0, 1);
    } else {
        const size_t slash = rest.rfind('\\');
        if (slash != std::string::npos) rest.erase(0, slash + 1);
    }
    if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += '\\';
    return dir + rest;
}

// ---------------------------------------------------------------------------
// Progress

void TUnZip::progress(uint64_t fileDone, uint64_t fileSize) {
    if (!OnProgress) return;
    auto percent = [](uint64_t done, uint64_t total) {
        if (total == 0) return 0;
        return static_cast<int>(std::min<uint64_t>(100, (done * 100 + total / 2) / total));
    };
    OnProgress(percent(fileDone, fileSize), percent(doneBytes_ + fileDone, totalBytes_));
}

}  // namespace hk::archive
