#include "tests/support/HostileFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string_view>
#include <unistd.h>

namespace testsupport {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint64_t OneGiB = uint64_t{1} << 30;
constexpr size_t SixteenMiB = size_t{1} << 24;
constexpr uint64_t ImageSearchSpan = 0x100000;

void Le(Bytes& out, uint64_t value, int count) {
    for (int i = 0; i < count; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void Be(Bytes& out, uint64_t value, int count) {
    for (int i = count - 1; i >= 0; --i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void Put(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

void Put(Bytes& out, const Bytes& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void Fill(Bytes& out, size_t count, uint8_t value = 0) {
    out.insert(out.end(), count, value);
}

// Zeros up to the given size.
Bytes PadTo(Bytes bytes, size_t size) {
    if (bytes.size() < size)
        bytes.resize(size, 0);
    return bytes;
}

Bytes Str(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// Texts of an exact byte count in each encoding. Their characters are chosen so that the cut at
// 255 bytes falls inside a character where it can.
Bytes Latin1Text(size_t count) {
    Bytes out;
    for (size_t i = 0; i < count; ++i)
        out.push_back(static_cast<uint8_t>('a' + i % 26));
    return out;
}

// U+0416 units after a little-endian byte-order mark; an odd count leaves half a unit.
Bytes Utf16LeText(size_t count) {
    Bytes out = {0xFF, 0xFE};
    while (out.size() < count)
        out.push_back(out.size() % 2 == 0 ? 0x16 : 0x04);
    out.resize(count);
    return out;
}

// U+0416 units big-endian without a byte-order mark.
Bytes Utf16BeText(size_t count) {
    Bytes out;
    while (out.size() < count)
        out.push_back(out.size() % 2 == 0 ? 0x04 : 0x16);
    return out;
}

// "a", then as many three-byte euro signs as fit, then "b"s to the count.
Bytes Utf8Text(size_t count) {
    Bytes out = {'a'};
    for (size_t i = 0; i < (count - 1) / 3; ++i)
        Put(out, "\xE2\x82\xAC");
    Fill(out, (count - 1) % 3, 'b');
    return out;
}

// ID3v2 ------------------------------------------------------------------------------------

void SyncSafe(Bytes& out, uint32_t value) {
    for (int shift = 21; shift >= 0; shift -= 7)
        out.push_back(static_cast<uint8_t>(value >> shift & 0x7F));
}

Bytes Id3Tag(uint8_t major, const Bytes& body) {
    Bytes out = Str("ID3");
    out.push_back(major);
    Fill(out, 2);
    SyncSafe(out, static_cast<uint32_t>(body.size()));
    Put(out, body);
    return out;
}

// A frame whose size field holds the given four bytes, whatever the data is.
Bytes Id3FrameSized(std::string_view id, uint32_t sizeField, const Bytes& data) {
    Bytes out = Str(id);
    Be(out, sizeField, 4);
    Fill(out, 2);
    Put(out, data);
    return out;
}

// A version 2.3 frame: the size is a plain number.
Bytes Id3Frame(std::string_view id, const Bytes& data) {
    return Id3FrameSized(id, static_cast<uint32_t>(data.size()), data);
}

Bytes EncodedText(uint8_t encoding, const Bytes& text) {
    Bytes out = {encoding};
    Put(out, text);
    return out;
}

Bytes Id3v1(std::string_view title, std::string_view artist, std::string_view album,
            std::string_view year, std::string_view comment, uint8_t genre) {
    const std::pair<std::string_view, size_t> fields[] = {
        {title, 30}, {artist, 30}, {album, 30}, {year, 4}, {comment, 30}};
    Bytes out = Str("TAG");
    for (const auto& [text, width] : fields) {
        Bytes field = Str(text);
        field.resize(width, 0);
        Put(out, field);
    }
    out.push_back(genre);
    return out;
}

// MPEG-1 Layer III, 128 kbps, 44,100 Hz, joint stereo unless the header bytes say otherwise.
Bytes Mp3Frame(uint8_t b1 = 0xFB, uint8_t b2 = 0x90, uint8_t b3 = 0x64) {
    Bytes out = {0xFF, b1, b2, b3};
    Fill(out, 413);
    return out;
}

// A frame with a Xing header after the 32 bytes of side information.
Bytes XingFrame(uint8_t b2, uint32_t flags, std::vector<uint32_t> fields) {
    Bytes out = {0xFF, 0xFB, b2, 0x64};
    Fill(out, 32);
    Put(out, "Xing");
    Be(out, flags, 4);
    for (uint32_t field : fields)
        Be(out, field, 4);
    return PadTo(out, 417);
}

// A tag holding one frame, then two MPEG frames.
Bytes Mp3WithFrames(const Bytes& frames, uint8_t major = 3) {
    Bytes out = Id3Tag(major, frames);
    Put(out, Mp3Frame());
    Put(out, Mp3Frame());
    return out;
}

// APE tags --------------------------------------------------------------------------------

constexpr uint32_t ApeHasHeader = 1u << 31;
constexpr uint32_t ApeIsHeader = 1u << 29;

Bytes ApeItem(std::string_view key, const Bytes& value, uint32_t lengthField, uint32_t flags = 0) {
    Bytes out;
    Le(out, lengthField, 4);
    Le(out, flags, 4);
    Put(out, key);
    out.push_back(0);
    Put(out, value);
    return out;
}

Bytes ApeItem(std::string_view key, const Bytes& value) {
    return ApeItem(key, value, static_cast<uint32_t>(value.size()));
}

Bytes ApeBlock(uint32_t tagSize, uint32_t count, uint32_t flags) {
    Bytes out = Str("APETAGEX");
    Le(out, 2000, 4);
    Le(out, tagSize, 4);
    Le(out, count, 4);
    Le(out, flags, 4);
    Fill(out, 8);
    return out;
}

// Header, items and footer; the size fields may be given instead of taken from the items.
Bytes ApeTag(const Bytes& items, uint32_t count = 1, uint64_t headerSize = UINT64_MAX,
             uint64_t footerSize = UINT64_MAX) {
    const auto size = static_cast<uint32_t>(items.size() + 32);
    Bytes out = ApeBlock(headerSize == UINT64_MAX ? size : static_cast<uint32_t>(headerSize), count,
                         ApeHasHeader | ApeIsHeader);
    Put(out, items);
    Put(out, ApeBlock(footerSize == UINT64_MAX ? size : static_cast<uint32_t>(footerSize), count,
                      ApeHasHeader));
    return out;
}

// Items and a footer without a header, as version 1 tags are.
Bytes ApeFooterTag(const Bytes& items, uint32_t footerSize) {
    Bytes out = items;
    Put(out, ApeBlock(footerSize, 1, 0));
    return out;
}

// Monkey's Audio --------------------------------------------------------------------------

struct MacHeader {
    uint16_t version = 3990;
    uint16_t level = 2000;
    uint32_t blocksPerFrame = 294912;
    uint32_t finalFrameBlocks = 253872;
    uint32_t totalFrames = 45;
    uint16_t bits = 16;
    uint16_t channels = 2;
    uint32_t sampleRate = 44100;
};

// The descriptor form (version 3980 on), followed by some audio bytes.
Bytes MacFile(const MacHeader& h, size_t size = 200) {
    Bytes out = Str("MAC ");
    Le(out, h.version, 2);
    Fill(out, 46);
    Le(out, h.level, 2);
    Le(out, 0, 2);
    Le(out, h.blocksPerFrame, 4);
    Le(out, h.finalFrameBlocks, 4);
    Le(out, h.totalFrames, 4);
    Le(out, h.bits, 2);
    Le(out, h.channels, 2);
    Le(out, h.sampleRate, 4);
    return PadTo(out, size);
}

Bytes MacWithTag(const Bytes& tag, const MacHeader& h = {}) {
    Bytes out = MacFile(h);
    Put(out, tag);
    return out;
}

// WAVE ------------------------------------------------------------------------------------

struct WaveHeader {
    uint32_t riffSize = 436;
    uint32_t fmtSize = 16;
    uint16_t channels = 2;
    uint32_t sampleRate = 44100;
    uint32_t byteRate = 176400;
    uint16_t bits = 16;
};

Bytes WaveHead(const WaveHeader& h) {
    Bytes out = Str("RIFF");
    Le(out, h.riffSize, 4);
    Put(out, "WAVEfmt ");
    Le(out, h.fmtSize, 4);
    Le(out, 1, 2);
    Le(out, h.channels, 2);
    Le(out, h.sampleRate, 4);
    Le(out, h.byteRate, 4);
    Le(out, 4, 2);
    Le(out, h.bits, 2);
    return out;
}

// 36 header bytes, a data chunk header and 400 bytes of samples: 444 bytes.
Bytes WaveFile(const WaveHeader& h) {
    Bytes out = WaveHead(h);
    Put(out, "data");
    Le(out, 400, 4);
    Fill(out, 400);
    return out;
}

// FLAC ------------------------------------------------------------------------------------

enum : uint8_t { StreamInfoBlock = 0, PaddingBlock = 1, VorbisCommentBlock = 4 };

Bytes FlacBlockHeader(uint8_t type, bool last, uint32_t length) {
    Bytes out = {static_cast<uint8_t>((last ? 0x80 : 0) | type)};
    Be(out, length, 3);
    return out;
}

Bytes FlacBlock(uint8_t type, bool last, const Bytes& data) {
    Bytes out = FlacBlockHeader(type, last, static_cast<uint32_t>(data.size()));
    Put(out, data);
    return out;
}

struct FlacStream {
    uint32_t sampleRate = 44100;
    unsigned channelsMinusOne = 1;
    unsigned bitsMinusOne = 15;
    uint64_t totalSamples = 441000; // ten seconds
    uint32_t streamInfoLength = 34;
};

// "fLaC" and a STREAMINFO block that is not the last one.
Bytes FlacStart(const FlacStream& s) {
    Bytes out = Str("fLaC");
    Put(out, FlacBlockHeader(StreamInfoBlock, false, s.streamInfoLength));
    Be(out, 4096, 2);
    Be(out, 4096, 2);
    Be(out, 14, 3);
    Be(out, 12000, 3);
    Be(out,
       uint64_t{s.sampleRate} << 44 | uint64_t{s.channelsMinusOne} << 41 |
           uint64_t{s.bitsMinusOne} << 36 | s.totalSamples,
       8);
    Fill(out, 16, 0xA5); // MD5 signature
    return out;
}

Bytes VorbisComments(const std::string& vendor, uint32_t count, const std::vector<Bytes>& entries) {
    Bytes out;
    Le(out, vendor.size(), 4);
    Put(out, vendor);
    Le(out, count, 4);
    for (const Bytes& entry : entries) {
        Le(out, entry.size(), 4);
        Put(out, entry);
    }
    return out;
}

Bytes Entry(std::string_view key, const Bytes& value) {
    Bytes out = Str(key);
    Put(out, value);
    return out;
}

// STREAMINFO, a PADDING block that takes the file past 150 bytes, and the last block.
Bytes FlacWithLastBlock(const Bytes& lastBlock, const FlacStream& s = {}) {
    Bytes out = FlacStart(s);
    Put(out, FlacBlock(PaddingBlock, false, Bytes(128, 0)));
    Put(out, lastBlock);
    return out;
}

Bytes FlacWithComments(const Bytes& comments) {
    return FlacWithLastBlock(FlacBlock(VorbisCommentBlock, true, comments));
}

// Ogg Vorbis ------------------------------------------------------------------------------

struct VorbisId {
    uint32_t version = 0;
    uint8_t channels = 2;
    uint32_t sampleRate = 44100;
    uint32_t maximum = 128000;
    uint32_t nominal = 128000;
    uint32_t minimum = 128000;
};

Bytes VorbisIdFields(const VorbisId& id) {
    Bytes out;
    Le(out, id.version, 4);
    out.push_back(id.channels);
    Le(out, id.sampleRate, 4);
    Le(out, id.maximum, 4);
    Le(out, id.nominal, 4);
    Le(out, id.minimum, 4);
    out.push_back(0xB8);
    out.push_back(0x01);
    return out;
}

// The first page's header and segment table, the identification packet, then zeros.
Bytes OggFile(const VorbisId& id) {
    Bytes out = Str("OggS");
    out.push_back(0);
    out.push_back(2);
    Fill(out, 20);
    out.push_back(1);
    out.push_back(30);
    out.push_back(1);
    Put(out, "vorbis");
    Put(out, VorbisIdFields(id));
    return PadTo(out, 400);
}

// "OggS" and the signature at the given offset.
Bytes OggSignatureAt(size_t offset, const Bytes& after) {
    Bytes out = PadTo(Str("OggS"), offset);
    Put(out, "vorbis");
    Put(out, after);
    return out;
}

// AC-3, DTS, WavPack ----------------------------------------------------------------------

Bytes Ac3File(uint8_t codes, uint8_t info, size_t size) {
    Bytes out = {0x0B, 0x77, 0x12, 0x34, codes};
    Fill(out, size - out.size(), info);
    return out;
}

Bytes DtsFile(uint8_t headerByte, size_t size) {
    Bytes out = {0x7F, 0xFE, 0x80, 0x01};
    Fill(out, size - out.size(), headerByte);
    return out;
}

constexpr uint32_t WvRateShift = 23;

Bytes WvHeader(uint32_t totalSamples, uint32_t flags, uint16_t version = 0x410) {
    Bytes out = Str("wvpk");
    Le(out, 1000, 4);
    Le(out, version, 2);
    Fill(out, 2);
    Le(out, totalSamples, 4);
    Le(out, 0, 4);
    Le(out, 4410, 4);
    Le(out, flags, 4);
    Le(out, 0x12345678, 4);
    return out;
}

// Stereo 16-bit lossless at 44,100 Hz unless the flags say otherwise.
constexpr uint32_t WvStereo16At44100 = 1u | 9u << WvRateShift;

Bytes WvFile(uint32_t totalSamples, uint32_t flags, size_t size = 1000) {
    return PadTo(WvHeader(totalSamples, flags), size);
}

// The collection ----------------------------------------------------------------------------

class Collection {
  public:
    void Add(std::string name, std::string recipe, Bytes bytes) {
        HostileFile file{std::move(name), std::move(recipe), bytes.size(), {}};
        file.pieces.emplace_back(0, std::move(bytes));
        files_.push_back(std::move(file));
    }
    void AddSparse(std::string name, std::string recipe, uint64_t length,
                   std::vector<std::pair<uint64_t, Bytes>> pieces) {
        files_.push_back({std::move(name), std::move(recipe), length, std::move(pieces)});
    }
    std::vector<HostileFile> Take() { return std::move(files_); }

  private:
    std::vector<HostileFile> files_;
};

void AddId3SizeFiles(Collection& c) {
    const Bytes hello = EncodedText(0, Str("Hello"));
    {
        Bytes tag = Str("ID3\x03");
        Fill(tag, 2);
        Put(tag, Bytes{0x7F, 0x7F, 0x7F, 0x7F});
        Put(tag, Id3Frame("TIT2", hello));
        Put(tag, Mp3Frame());
        c.Add("id3-tag-size-past-file.mp3", "ID3v2 tag size 2^28-1 in a file of 443 bytes", tag);
    }
    {
        Bytes frame = Id3FrameSized("TIT2", 0xFFFFFFFF, hello);
        Fill(frame, 20);
        c.Add("id3-frame-size-ffffffff.mp3", "frame size 0xFFFFFFFF inside a 36-byte tag",
              Mp3WithFrames(frame));
    }
    {
        Bytes frame = Id3FrameSized("TIT2", 0x7F7F7F7F, hello);
        Fill(frame, 20);
        c.Add("id3v24-frame-size-7f7f7f7f.mp3", "version 2.4 frame size of 2^28-1 in 7-bit groups",
              Mp3WithFrames(frame, 4));
    }
    {
        Bytes file = Id3Tag(3, {});
        Put(file, Mp3Frame());
        Put(file, Id3v1("Version one", "Artist one", "", "1999", "", 17));
        c.Add("id3-size-zero-with-id3v1.mp3", "ID3v2 tag of size 0 in front of an ID3v1 tag", file);
    }
    {
        Bytes frames;
        for (int i = 0; i < 60000; ++i)
            Put(frames, Id3Frame("TIT2", {}));
        Put(frames, Id3Frame("TPE1", EncodedText(0, Str("Artist"))));
        c.Add("id3-60000-empty-frames.mp3", "60,000 frames of size 0 before the artist",
              Mp3WithFrames(frames));
    }
    c.Add("id3-header-only.mp3", "ten bytes: an ID3v2 header and nothing else",
          Str(std::string_view("ID3\x03\0\0\0\0\0\0", 10)));
    c.Add("id3-truncated-4-bytes.mp3", "the first four bytes of an ID3v2 header", Str("ID3\x03"));
    c.Add("tag-3-bytes.mp3", "a file of only \"TAG\", far shorter than an ID3v1 tag", Str("TAG"));
    {
        Bytes frames = Str("TT2");
        Be(frames, 6, 3);
        Put(frames, hello);
        c.Add("id3v22-frames.mp3", "version 2.2 tag with three-letter frame ids",
              Mp3WithFrames(frames, 2));
    }
}

void AddId3TextFiles(Collection& c) {
    struct Encoding {
        const char* name;
        uint8_t code;
        Bytes (*text)(size_t);
    } encodings[] = {{"latin1", 0, Latin1Text},
                     {"utf16-bom", 1, Utf16LeText},
                     {"utf16be", 2, Utf16BeText},
                     {"utf8", 3, Utf8Text}};
    for (const Encoding& e : encodings)
        for (size_t count : {254, 255, 256, 257, 4096})
            c.Add("id3-" + std::string(e.name) + "-" + std::to_string(count) + ".mp3",
                  "title of " + std::to_string(count) + " bytes in encoding " +
                      std::to_string(e.code),
                  Mp3WithFrames(Id3Frame("TIT2", EncodedText(e.code, e.text(count)))));

    const auto title = [&](const char* name, const char* recipe, uint8_t encoding,
                           const Bytes& text) {
        c.Add(name, recipe, Mp3WithFrames(Id3Frame("TIT2", EncodedText(encoding, text))));
    };
    title("id3-utf16-lone-high-surrogate.mp3", "a high surrogate followed by a letter", 1,
          {0xFF, 0xFE, 'A', 0, 0x00, 0xD8, 'B', 0});
    title("id3-utf16be-lone-low-surrogate.mp3", "a low surrogate with no high one before it", 2,
          {0, 'A', 0xDC, 0x00, 0, 'B'});
    title("id3-utf16-surrogate-at-end.mp3", "the text ends inside a surrogate pair", 1,
          {0xFF, 0xFE, 'A', 0, 0x3D, 0xD8});
    title("id3-utf16-bom-only.mp3", "UTF-16 text that is only a byte-order mark", 1, {0xFF, 0xFE});

    const auto comment = [&](const char* name, const char* recipe, const Bytes& data) {
        c.Add(name, recipe, Mp3WithFrames(Id3Frame("COMM", data)));
    };
    comment("id3-comm-utf16-description-unterminated.mp3",
            "UTF-16 comment description without its two zero bytes",
            {1, 'e', 'n', 'g', 0xFF, 0xFE, 'd', 0, 'e', 0, 's', 0});
    {
        Bytes data = {0};
        Put(data, "engdescription without end");
        comment("id3-comm-latin1-description-unterminated.mp3",
                "8-bit comment description without its zero byte", data);
    }
    comment("id3-comm-3-bytes.mp3", "comment frame shorter than encoding and language",
            {0, 'e', 'n'});

    const auto genre = [&](const char* name, const char* recipe, std::string_view text) {
        c.Add(name, recipe, Mp3WithFrames(Id3Frame("TCON", EncodedText(0, Str(text)))));
    };
    genre("id3-genre-number-overflow.mp3", "genre reference beyond every integer type",
          "(99999999999999999999)");
    genre("id3-genre-unclosed.mp3", "genre reference without its closing parenthesis", "(17");
    genre("id3-genre-negative.mp3", "negative genre reference", "(-17)");
    genre("id3-genre-255.mp3", "genre reference to a number without a name", "(255)");

    Bytes v1 = PadTo(Mp3Frame(), 1000);
    Put(v1, Id3v1("Title", "", "", "", "", 255));
    c.Add("id3v1-genre-255.mp3", "ID3v1 genre byte 255", v1);
    Bytes full = PadTo(Mp3Frame(), 1000);
    Put(full, Id3v1(std::string(30, 'T'), std::string(30, 'A'), std::string(30, 'L'), "1999",
                    std::string(30, 'C'), 17));
    c.Add("id3v1-fields-unterminated.mp3", "ID3v1 fields that fill their whole width", full);
}

void AddMp3StreamFiles(Collection& c) {
    c.Add("mp3-xing-frames-zero.mp3", "Xing header with a frame count of 0",
          PadTo(XingFrame(0x90, 3, {0, 4000000}), 2000));
    c.Add("mp3-xing-rate-index-3.mp3", "Xing header, frame count 0 and the reserved rate index",
          PadTo(XingFrame(0x9C, 1, {0}), 2000));
    c.Add("mp3-xing-counts-ffffffff.mp3", "Xing frame and byte counts of 0xFFFFFFFF",
          PadTo(XingFrame(0x90, 3, {0xFFFFFFFF, 0xFFFFFFFF}), 2000));
    {
        Bytes cut = XingFrame(0x90, 3, {});
        cut.resize(40);
        c.Add("mp3-xing-truncated.mp3", "the file ends right after the Xing magic", cut);
    }
    c.Add("mp3-free-format.mp3", "free-format bitrate index 0", PadTo(Mp3Frame(0xFB, 0x00), 3000));
    c.Add("mp3-bitrate-index-15.mp3", "the bad bitrate index 15",
          PadTo(Mp3Frame(0xFB, 0xF0), 3000));
    c.Add("mp3-mpeg25.mp3", "MPEG-2.5 frames", PadTo(Mp3Frame(0xE3), 3000));
    c.Add("mp3-reserved-version.mp3", "the reserved MPEG version", PadTo(Mp3Frame(0xEB), 3000));
    c.Add("mp3-reserved-layer.mp3", "the reserved layer", PadTo(Mp3Frame(0xF9), 3000));
    {
        Bytes file;
        for (int i = 0; i < 12; ++i) {
            Put(file, Bytes{0xFF, 0xFD, 0x90, 0x64});
            Fill(file, 60);
        }
        c.Add("mp3-layer2-candidates-only.mp3", "twelve Layer II headers, none of Layer III",
              PadTo(file, 3000));
    }
    {
        Bytes late(2048, 0);
        Put(late, Mp3Frame());
        c.Add("mp3-frame-at-2048.mp3", "first frame just outside the search window", late);
        Bytes inside(2047, 0);
        Put(inside, Mp3Frame());
        c.Add("mp3-frame-at-2047.mp3", "first frame at the last offset of the search window",
              inside);
    }
    c.Add("mp3-sampling-index-3.mp3", "the reserved sampling-rate index, 16,000 bytes",
          PadTo(Mp3Frame(0xFB, 0x9C), 16000));
}

void AddWaveFiles(Collection& c) {
    c.Add("wav-riff-size-ffffffff.wav", "RIFF size 0xFFFFFFFF in a 444-byte file",
          WaveFile({.riffSize = 0xFFFFFFFF}));
    c.Add("wav-riff-size-35.wav", "RIFF size 35, below the header", WaveFile({.riffSize = 35}));
    c.Add("wav-fmt-size-ffffffff.wav", "fmt chunk size 0xFFFFFFFF",
          WaveFile({.fmtSize = 0xFFFFFFFF}));
    {
        Bytes file = WaveHead({.fmtSize = 40});
        Fill(file, 8);
        c.Add("wav-fmt-size-40-past-file.wav", "extensible fmt chunk of 40 bytes in a 44-byte file",
              file);
    }
    c.Add("wav-byte-rate-zero.wav", "byte rate 0", WaveFile({.byteRate = 0}));
    c.Add("wav-byte-rate-ffffffff.wav", "byte rate 0xFFFFFFFF, whose bit rate passes 2^32",
          WaveFile({.byteRate = 0xFFFFFFFF}));
    c.Add("wav-sample-rate-80000000.wav", "sample rate 2^31", WaveFile({.sampleRate = 0x80000000}));
    c.Add("wav-channels-bits-zero.wav", "no channels of no bits",
          WaveFile({.channels = 0, .bits = 0}));
    {
        Bytes head = WaveHead({});
        head.resize(35);
        c.Add("wav-35-bytes.wav", "a WAVE header one byte short", head);
    }
    {
        Bytes file = Str("RIFF");
        Le(file, 1000, 4);
        Put(file, "WAVELIST");
        Le(file, 4, 4);
        Put(file, "INFO");
        const Bytes head = WaveHead({});
        Put(file, Bytes(head.begin() + 12, head.end()));
        c.Add("wav-list-before-fmt.wav", "a LIST chunk before the fmt chunk", PadTo(file, 444));
    }
    c.Add("raw-samples.pcm", "headerless samples", Latin1Text(4000));
}

void AddFlacFiles(Collection& c) {
    {
        Bytes file = FlacStart({});
        c.Add("flac-150-bytes.flac", "a FLAC start of exactly 150 bytes", PadTo(file, 150));
    }
    {
        Bytes file = FlacStart({});
        for (int i = 0; i < 60000; ++i)
            Put(file, FlacBlockHeader(PaddingBlock, false, 0));
        Put(file, FlacBlock(VorbisCommentBlock, true,
                            VorbisComments("reference libFLAC", 1, {Entry("TITLE=", Str("End"))})));
        c.Add("flac-60000-empty-blocks.flac", "60,000 empty blocks before the comments", file);
    }
    {
        Bytes file = FlacStart({});
        Put(file, FlacBlockHeader(PaddingBlock, false, 0xFFFFFF));
        Put(file, FlacBlock(VorbisCommentBlock, true,
                            VorbisComments("x", 1, {Entry("TITLE=", Str("Hidden"))})));
        c.Add("flac-block-length-past-file.flac", "a block of 16 MiB in a file of 200 bytes",
              PadTo(file, 200));
    }
    c.Add("flac-streaminfo-length-ffffff.flac", "STREAMINFO length 0xFFFFFF",
          PadTo(FlacStart({.streamInfoLength = 0xFFFFFF}), 400));
    c.Add("flac-zero-filled-after-streaminfo.flac", "64 KiB of zeros behind STREAMINFO",
          PadTo(FlacStart({}), 65536));
    c.Add("flac-sample-rate-zero.flac", "sample rate 0", PadTo(FlacStart({.sampleRate = 0}), 400));
    c.Add("flac-total-samples-zero.flac", "total samples 0",
          PadTo(FlacStart({.totalSamples = 0}), 400));
    c.Add("flac-total-samples-max-at-1-hz.flac", "2^36 - 1 samples at 1 Hz",
          PadTo(FlacStart({.sampleRate = 1, .totalSamples = (uint64_t{1} << 36) - 1}), 400));
    c.Add("flac-8-channels-32-bits.flac", "the largest channel and sample size codes",
          PadTo(FlacStart({.channelsMinusOne = 7, .bitsMinusOne = 31}), 400));
    {
        Bytes comments;
        Le(comments, 0, 4);
        Le(comments, 2, 4);
        Le(comments, 0xFFFFFFFF, 4);
        Put(comments, "TITLE=X");
        c.Add("flac-comment-length-ffffffff.flac", "comment length 0xFFFFFFFF",
              FlacWithComments(comments));
    }
    {
        Bytes comments;
        Le(comments, 0xFFFFFFFF, 4);
        Le(comments, 1, 4);
        Le(comments, 7, 4);
        Put(comments, "TITLE=X");
        c.Add("flac-vendor-length-ffffffff.flac", "vendor string length 0xFFFFFFFF",
              FlacWithComments(comments));
    }
    c.Add("flac-comment-count-ffffffff.flac", "comment count 0xFFFFFFFF with one comment",
          FlacWithComments(VorbisComments("v", 0xFFFFFFFF, {Entry("TITLE=", Str("Only"))})));
    {
        Bytes file = FlacStart({});
        Put(file, FlacBlockHeader(VorbisCommentBlock, true, 0xFFFFFF));
        Le(file, 0, 4);
        Le(file, 0xFFFFFFFF, 4);
        c.Add("flac-empty-comments-1mib.flac",
              "comment count 0xFFFFFFFF and 1 MiB of empty comments", PadTo(file, size_t{1} << 20));
    }
    for (size_t count : {254, 255, 256, 257})
        c.Add("flac-comment-value-" + std::to_string(count) + ".flac",
              "title of " + std::to_string(count) + " bytes of UTF-8",
              FlacWithComments(VorbisComments("v", 1, {Entry("TITLE=", Utf8Text(count))})));
    c.Add("flac-comment-entry-4096.flac", "a comment of exactly 4096 bytes",
          FlacWithComments(VorbisComments("v", 1, {Entry("TITLE=", Utf8Text(4090))})));
    c.Add("flac-comment-entry-4097.flac", "a comment of 4097 bytes",
          FlacWithComments(VorbisComments("v", 1, {Entry("TITLE=", Utf8Text(4091))})));
    {
        Bytes file = Id3Tag(3, Id3Frame("TIT2", EncodedText(0, Str("Hello"))));
        Put(file, FlacWithComments(VorbisComments("v", 0, {})));
        c.Add("flac-id3v2-before-marker.flac", "an ID3v2 tag in front of the marker", file);
    }
}

void AddOggFiles(Collection& c) {
    c.Add("ogg-150-bytes.ogg", "a standard start cut to 150 bytes", [] {
        Bytes file = OggFile({});
        file.resize(150);
        return file;
    }());
    c.Add("ogg-no-vorbis.ogg", "an Ogg page without the Vorbis signature",
          PadTo(Str("OggS"), 1100));
    c.Add("ogg-signature-at-999.ogg", "the signature at the last offset searched",
          OggSignatureAt(999, VorbisIdFields({})));
    c.Add("ogg-signature-at-1000.ogg", "the signature one byte past the search",
          OggSignatureAt(1000, VorbisIdFields({})));
    {
        Bytes cut = VorbisIdFields({});
        cut.resize(10);
        c.Add("ogg-id-header-cut.ogg", "the file ends inside the identification header",
              OggSignatureAt(200, cut));
    }
    c.Add("ogg-version-1.ogg", "Vorbis version 1", OggFile({.version = 1}));
    c.Add("ogg-bitrates-ffffffff.ogg", "all three bitrates stored as -1",
          OggFile({.maximum = 0xFFFFFFFF, .nominal = 0xFFFFFFFF, .minimum = 0xFFFFFFFF}));
    c.Add("ogg-nominal-zero.ogg", "nominal bitrate 0 between two bounds",
          OggFile({.maximum = 192000, .nominal = 0, .minimum = 64000}));
    c.Add("ogg-rate-channels-zero.ogg", "no channels at 0 Hz",
          OggFile({.channels = 0, .sampleRate = 0}));
    c.Add("ogg-unset-maximum.ogg", "maximum stored as -1, minimum 0",
          OggFile({.maximum = 0xFFFFFFFF, .nominal = 112000, .minimum = 0}));
}

void AddAc3DtsFiles(Collection& c) {
    c.Add("ac3-20-bytes.ac3", "a sync word in a file of 20 bytes", Ac3File(0x1E, 0, 20));
    c.Add("ac3-all-ff.ac3", "every code at its largest value", Ac3File(0xFF, 0xFF, 21));
    c.Add("ac3-frmsizecod-38.ac3", "the first frame size code without a bitrate",
          Ac3File(38, 0, 1000));
    c.Add("dts-11-bytes.dts", "a sync word in a file of 11 bytes", DtsFile(0, 11));
    c.Add("dts-all-ff.dts", "every header code at its largest value", DtsFile(0xFF, 1000));
    c.Add("dts-14-bit.dts", "the 14-bit form of the sync word",
          PadTo(Bytes{0x1F, 0xFF, 0xE8, 0x00}, 1000));
}

void AddWavPackFiles(Collection& c) {
    c.Add("wv-31-bytes.wv", "a block header one byte short", [] {
        Bytes file = WvHeader(441000, WvStereo16At44100);
        file.resize(31);
        return file;
    }());
    c.Add("wv-rate-index-15.wv", "the sample-rate index without a rate",
          WvFile(441000, 1u | 15u << WvRateShift));
    c.Add("wv-total-samples-zero.wv", "total samples 0", WvFile(0, WvStereo16At44100));
    c.Add("wv-total-samples-unknown.wv", "total samples unknown (0xFFFFFFFF)",
          WvFile(0xFFFFFFFF, WvStereo16At44100));
    c.Add("image-no-block.iso.wv", "a disc image without a WavPack block", Bytes(4096, 0));
    {
        Bytes last(ImageSearchSpan - 1, 0);
        Put(last, WvHeader(441000, WvStereo16At44100));
        c.Add("image-block-at-last-offset.iso.wv", "a block at the last offset searched",
              PadTo(last, last.size() + 100));
        Bytes past(ImageSearchSpan, 0);
        Put(past, WvHeader(441000, WvStereo16At44100));
        c.Add("image-block-past-search.iso.wv", "a block one byte past the search",
              PadTo(past, past.size() + 100));
    }
    {
        Bytes cut(90, 0);
        Put(cut, WvHeader(441000, WvStereo16At44100));
        cut.resize(100);
        c.Add("image-block-cut-by-end.iso.wv", "a block header cut by the end of the image", cut);
    }
    {
        Bytes file = WvFile(441000, WvStereo16At44100, 2000);
        Put(file, ApeFooterTag(ApeItem("Title", Str("Song")), 0xFFFFFFFF));
        c.Add("wv-ape-tag-size-ffffffff.wv", "APE footer whose tag size is 0xFFFFFFFF", file);
    }
}

void AddApeFiles(Collection& c) {
    c.Add("ape-80-bytes.ape", "a Monkey's Audio header in 80 bytes", [] {
        Bytes file = MacFile({});
        file.resize(80);
        return file;
    }());
    c.Add("ape-total-frames-zero.ape", "no frames", MacFile({.totalFrames = 0}));
    c.Add("ape-blocks-overflow.ape", "frames times blocks per frame past 2^64 / 2, at 1 Hz",
          MacFile({.blocksPerFrame = 0xFFFFFFFF,
                   .finalFrameBlocks = 0,
                   .totalFrames = 0xFFFFFFFF,
                   .sampleRate = 1}));
    c.Add("ape-sample-rate-zero.ape", "sample rate 0", MacFile({.sampleRate = 0}));
    c.Add("ape-channels-zero.ape", "no channels", MacFile({.channels = 0}));
    c.Add("ape-bits-zero.ape", "no bits per sample", MacFile({.bits = 0}));
    c.Add("ape-level-ffff.ape", "compression level 65535", MacFile({.level = 0xFFFF}));
    c.Add("ape-tag-size-past-file.ape", "APE footer whose tag size is 0x7FFFFFFF",
          MacWithTag(ApeFooterTag(ApeItem("Title", Str("Song")), 0x7FFFFFFF)));
    c.Add("ape-item-length-ffffffff.ape", "item value length 0xFFFFFFFF",
          MacWithTag(ApeTag(ApeItem("Title", Str("Song"), 0xFFFFFFFF))));
    c.Add("ape-key-unterminated.ape", "an item key without its zero byte", [] {
        Bytes item;
        Le(item, 4, 4);
        Le(item, 0, 4);
        Put(item, "TitleSong");
        return MacWithTag(ApeTag(item));
    }());
    c.Add("ape-header-size-ffffffff.ape", "tag header size 0xFFFFFFFF, footer size right",
          MacWithTag(ApeTag(ApeItem("Title", Str("Song")), 1, 0xFFFFFFFF)));
    c.Add("ape-item-count-ffffffff.ape", "item count 0xFFFFFFFF with one item",
          MacWithTag(ApeTag(ApeItem("Artist", Str("Singer")), 0xFFFFFFFF)));
    for (size_t count : {254, 255, 256, 257, 4096})
        c.Add("ape-value-" + std::to_string(count) + ".ape",
              "title of " + std::to_string(count) + " bytes of UTF-8",
              MacWithTag(ApeTag(ApeItem("Title", Utf8Text(count)))));
}

void AddEmptyAndFilledFiles(Collection& c) {
    for (const char* ext : {"mp3", "wav", "pcm", "flac", "ogg", "ac3", "dts", "ape", "wv"})
        c.Add(std::string("empty.") + ext, "a file of 0 bytes", {});
    c.Add("empty.iso.wv", "a disc image of 0 bytes", {});
    for (const char* ext : {"mp3", "ape", "iso.wv"})
        c.Add(std::string("ff-16mib.") + ext, "16 MiB of 0xFF bytes", Bytes(SixteenMiB, 0xFF));
}

void AddSparseFiles(Collection& c) {
    Bytes v1 = Id3v1("Far end", "", "", "", "", 0);
    c.AddSparse("sparse-1gib.mp3", "1 GiB of holes between the first frame and an ID3v1 tag",
                OneGiB, {{0, Mp3Frame()}, {OneGiB - v1.size(), v1}});
    c.AddSparse("sparse-1gib.wav", "a WAVE header before 1 GiB of holes", OneGiB,
                {{0, WaveFile({})}});
    c.AddSparse("sparse-1gib.flac", "STREAMINFO before 1 GiB of holes", OneGiB,
                {{0, FlacStart({})}});
    {
        Bytes start = FlacStart({});
        Put(start, FlacBlockHeader(VorbisCommentBlock, true, 0xFFFFFF));
        Le(start, 0, 4);
        Le(start, 0xFFFFFFFF, 4);
        c.AddSparse("sparse-1gib-empty-comments.flac",
                    "comment count 0xFFFFFFFF before 1 GiB of holes", OneGiB, {{0, start}});
    }
    {
        const uint64_t tagSize = OneGiB - 4096;
        Bytes footer = ApeBlock(static_cast<uint32_t>(tagSize), 1, 0);
        c.AddSparse("sparse-1gib-ape-tag.ape", "an APE tag of 1 GiB of holes", OneGiB,
                    {{0, MacFile({})}, {OneGiB - footer.size(), footer}});
    }
    c.AddSparse("sparse-1gib.iso.wv", "a disc image of 1 GiB of holes", OneGiB, {});
}

void WriteAll(int fd, const uint8_t* data, size_t size, uint64_t offset) {
    while (size > 0) {
        const ssize_t done = ::pwrite(fd, data, size, static_cast<off_t>(offset));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            throw std::runtime_error(std::string("pwrite: ") + std::strerror(errno));
        }
        data += done;
        size -= static_cast<size_t>(done);
        offset += static_cast<uint64_t>(done);
    }
}

} // namespace

std::vector<HostileFile> MakeHostileFiles() {
    Collection c;
    AddId3SizeFiles(c);
    AddId3TextFiles(c);
    AddMp3StreamFiles(c);
    AddWaveFiles(c);
    AddFlacFiles(c);
    AddOggFiles(c);
    AddAc3DtsFiles(c);
    AddWavPackFiles(c);
    AddApeFiles(c);
    AddEmptyAndFilledFiles(c);
    AddSparseFiles(c);
    return c.Take();
}

std::string WriteHostileFile(const std::string& folder, const HostileFile& file) {
    const std::string path = folder + "/" + file.name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path + ": " + std::strerror(errno));
    try {
        if (::ftruncate(fd, static_cast<off_t>(file.length)) != 0)
            throw std::runtime_error("ftruncate: " + std::string(std::strerror(errno)));
        for (const auto& [offset, bytes] : file.pieces)
            WriteAll(fd, bytes.data(), bytes.size(), offset);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return path;
}

} // namespace testsupport
