#include "sound/soundfont_check.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <string_view>
#include <system_error>
#include <vector>

namespace orbel {

namespace {

namespace sf2 {
static constexpr std::size_t ChunkHeader = 8; // a four-letter id and a little-endian size
static constexpr std::size_t FormType = 4;    // "sfbk" after RIFF, "INFO"/"sdta"/"pdta" after LIST
// The preset data is small (kilobytes to a few megabytes); a larger one is taken for damage.
static constexpr std::uint32_t MaxPresetData = 64U * 1024U * 1024U;

// The nine lists of the preset data, in their order, with the size of one record each.
struct Table {
    std::string_view id;
    std::uint32_t record;
};
static constexpr std::array<Table, 9> Tables{{{"phdr", 38},
                                              {"pbag", 4},
                                              {"pmod", 10},
                                              {"pgen", 4},
                                              {"inst", 22},
                                              {"ibag", 4},
                                              {"imod", 10},
                                              {"igen", 4},
                                              {"shdr", 46}}};
enum TableIndex { Phdr, Pbag, Pmod, Pgen, Inst, Ibag, Imod, Igen, Shdr };

// Where a record keeps the index of its first bag, and the sample header's fields.
static constexpr std::size_t PresetBagIndex = 24;
static constexpr std::size_t InstrumentBagIndex = 20;
static constexpr std::size_t SampleStart = 20;
static constexpr std::size_t SampleEnd = 24;
static constexpr std::size_t SampleType = 44;
static constexpr std::uint16_t RomSample = 0x8000;
static constexpr std::uint16_t CompressedSample = 0x0010; // Ogg Vorbis data, offsets in bytes
static constexpr std::uint32_t BytesPerSample = 2;
} // namespace sf2

namespace texts {
static constexpr std::string_view CutShort = "途中で切れています";
static constexpr std::string_view BrokenChunks = "チャンクの構造が壊れています";
static constexpr std::string_view NothingToPlay = "サンプルかプリセットがありません";
static constexpr std::string_view BrokenPresets = "プリセットのデータが壊れています";
static constexpr std::string_view SamplesOutside = "サンプルの位置がサンプルデータの外にあります";
} // namespace texts

std::uint32_t Le32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8U |
           static_cast<std::uint32_t>(b[2]) << 16U | static_cast<std::uint32_t>(b[3]) << 24U;
}

std::uint16_t Le16(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint16_t>(b[0] | b[1] << 8U);
}

struct Chunk {
    std::string id;
    std::uint64_t data = 0; // where its data starts in the file
    std::uint32_t size = 0;
};

class Reader {
public:
    Reader(std::ifstream& in, std::uint64_t fileSize) : in_(in), fileSize_(fileSize) {}

    bool read(std::uint64_t at, char* into, std::size_t bytes) {
        if (at + bytes > fileSize_) return false;
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(at));
        return static_cast<bool>(in_.read(into, static_cast<std::streamsize>(bytes)));
    }

    // The chunks from begin to end, each whole within the file; nothing when one is not.
    std::optional<std::vector<Chunk>> chunks(std::uint64_t begin, std::uint64_t end) {
        std::vector<Chunk> found;
        for (std::uint64_t at = begin; at + sf2::ChunkHeader <= end;) {
            std::array<char, sf2::ChunkHeader> header{};
            if (!read(at, header.data(), header.size())) return std::nullopt;
            Chunk chunk{std::string(header.data(), 4), at + sf2::ChunkHeader, Le32(header.data() + 4)};
            // Ids are four printable letters: anything else (a hole of zeros) is no chunk, and walking
            // it eight bytes at a time could take minutes.
            if (!std::all_of(chunk.id.begin(), chunk.id.end(), [](char c) { return c >= ' ' && c <= '~'; }))
                return std::nullopt;
            if (chunk.data + chunk.size > fileSize_) return std::nullopt;
            found.push_back(chunk);
            at = chunk.data + chunk.size + (chunk.size & 1U); // chunks are padded to an even size
        }
        return found;
    }

    // The form type of a LIST chunk ("INFO", "sdta", "pdta").
    std::string formType(const Chunk& list) {
        std::array<char, sf2::FormType> type{};
        if (list.size < type.size() || !read(list.data, type.data(), type.size())) return {};
        return std::string(type.data(), type.size());
    }

private:
    std::ifstream& in_;
    std::uint64_t fileSize_;
};

const Chunk* Find(const std::vector<Chunk>& chunks, std::string_view id) {
    for (const Chunk& c : chunks)
        if (c.id == id) return &c;
    return nullptr;
}

// The bag indices of presets or instruments rise and stay within the bags.
bool BagsInOrder(const std::vector<char>& records, std::size_t recordSize, std::size_t field,
                 std::size_t bags) {
    std::uint16_t last = 0;
    for (std::size_t at = 0; at + recordSize <= records.size(); at += recordSize) {
        const std::uint16_t bag = Le16(records.data() + at + field);
        if (bag < last || bag > bags) return false;
        last = bag;
    }
    return true;
}

} // namespace

std::optional<std::string> SoundFontProblem(const std::filesystem::path& file) {
    const std::string name = file.string();
    const auto damaged = [&name](std::string_view why) {
        return "SoundFont「" + name + "」は壊れています（" + std::string(why) + "）。";
    };
    std::error_code ec;
    const std::uint64_t fileSize = std::filesystem::file_size(file, ec);
    std::ifstream in(file, std::ios::binary);
    if (ec || !in) return "SoundFont「" + name + "」を読み込めません。";
    Reader reader(in, fileSize);

    std::array<char, sf2::ChunkHeader + sf2::FormType> head{};
    if (!reader.read(0, head.data(), head.size()) || std::string_view(head.data(), 4) != "RIFF" ||
        std::string_view(head.data() + 8, 4) != "sfbk")
        return "「" + name + "」は SoundFont ではありません。";
    const std::uint64_t riffEnd = sf2::ChunkHeader + std::uint64_t{Le32(head.data() + 4)};
    if (riffEnd > fileSize) return damaged(texts::CutShort);

    const auto top = reader.chunks(head.size(), riffEnd);
    if (!top) return damaged(texts::BrokenChunks);
    const Chunk* samples = nullptr;
    const Chunk* presets = nullptr;
    for (const Chunk& c : *top) {
        if (c.id != "LIST") continue;
        const std::string type = reader.formType(c);
        if (type == "sdta") samples = &c;
        if (type == "pdta") presets = &c;
    }
    if (samples == nullptr || presets == nullptr) return damaged(texts::NothingToPlay);

    const auto sampleChunks = reader.chunks(samples->data + sf2::FormType, samples->data + samples->size);
    const auto tables = reader.chunks(presets->data + sf2::FormType, presets->data + presets->size);
    if (!sampleChunks || !tables) return damaged(texts::BrokenChunks);
    const Chunk* smpl = Find(*sampleChunks, "smpl");
    const std::uint32_t sampleBytes = smpl != nullptr ? smpl->size : 0;

    std::array<std::vector<char>, sf2::Tables.size()> data;
    for (std::size_t t = 0; t < sf2::Tables.size(); ++t) {
        const Chunk* c = Find(*tables, sf2::Tables[t].id);
        // Whole records, and past the closing one at least one preset, instrument and sample.
        const bool named = t == sf2::Phdr || t == sf2::Inst || t == sf2::Shdr;
        const std::uint32_t least = (named ? 2 : 1) * sf2::Tables[t].record;
        if (c == nullptr || c->size % sf2::Tables[t].record != 0 || c->size < least ||
            c->size > sf2::MaxPresetData)
            return damaged(texts::BrokenPresets);
        data[t].resize(c->size);
        if (!reader.read(c->data, data[t].data(), c->size)) return damaged(texts::CutShort);
    }
    const auto count = [&](int t) { return data[t].size() / sf2::Tables[t].record; };
    if (!BagsInOrder(data[sf2::Phdr], sf2::Tables[sf2::Phdr].record, sf2::PresetBagIndex, count(sf2::Pbag)) ||
        !BagsInOrder(data[sf2::Inst], sf2::Tables[sf2::Inst].record, sf2::InstrumentBagIndex,
                     count(sf2::Ibag)))
        return damaged(texts::BrokenPresets);

    // Every sample but the closing record lies within the sample data.
    const std::vector<char>& headers = data[sf2::Shdr];
    const std::size_t record = sf2::Tables[sf2::Shdr].record;
    for (std::size_t at = 0; at + 2 * record <= headers.size(); at += record) {
        const std::uint16_t type = Le16(headers.data() + at + sf2::SampleType);
        if ((type & sf2::RomSample) != 0) continue;
        const std::uint64_t start = Le32(headers.data() + at + sf2::SampleStart);
        const std::uint64_t end = Le32(headers.data() + at + sf2::SampleEnd);
        const std::uint64_t limit =
            (type & sf2::CompressedSample) != 0 ? sampleBytes : sampleBytes / sf2::BytesPerSample;
        if (start > end || end > limit) return damaged(texts::SamplesOutside);
    }
    return std::nullopt;
}

} // namespace orbel
