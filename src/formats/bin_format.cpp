#include "formats/bin_format.h"

#include "extract/glyph_file.h"
#include "formats/glyph_log.h"
#include "formats/target_file.h"

namespace pixtrel {

namespace {

/// The run's own stream of records, written as it goes.
class BinFormat : public OneFileFormat {
 public:
  explicit BinFormat(const FormatRequest& request) : OneFileFormat(*request.disk, request.output) {}

  GlyphOutput& Stream() override { return file().output(); }
};

/// Each distinct record once, and the text as indices into them.
class UniqueBinFormat : public GlyphFormat {
 public:
  explicit UniqueBinFormat(const FormatRequest& request)
      : request_(request),
        log_(*request.disk),
        glyphs_(*request.disk, request.output),
        index_(*request.disk, *request.index) {}

  GlyphOutput& Stream() override { return discarded_; }
  CharacterReport* Report() override { return &log_; }

  void Finish() override {
    const DistinctRecords distinct = log_.Distinct();
    {
      GlyphFile glyphs(glyphs_.output());
      for (const WrittenGlyph& glyph : distinct.glyphs) glyphs.Append(request_.glyphs->RecordOf(glyph));
      glyphs.Close();
    }
    GlyphFile index(index_.output());
    log_.Walk(
        [&](const WrittenGlyph& glyph, int64_t) {
          const uint16_t at = distinct.index_of_key[RecordKey(glyph)];
          const uint8_t little_endian[] = {static_cast<uint8_t>(at & 0xFF), static_cast<uint8_t>(at >> 8)};
          index.Append(little_endian);
        },
        [](int64_t) {});
    index.Close();
    summary_ = SavingsSummary(glyphs_.path(), log_, distinct, *request_.glyphs);
  }

  void Install() override {
    glyphs_.Install();
    index_.Install();
  }
  void RemoveOld() override {
    glyphs_.RemoveOld();
    index_.RemoveOld();
  }
  std::vector<std::string> Targets() const override {
    std::vector<std::string> targets = glyphs_.Targets(), index = index_.Targets();
    targets.insert(targets.end(), index.begin(), index.end());
    return targets;
  }

  std::optional<std::string> Summary() const override { return summary_; }

 private:
  FormatRequest request_;
  DiscardedGlyphOutput discarded_;
  GlyphLog log_;
  TargetFile glyphs_, index_;
  std::string summary_;
};

}  // namespace

std::unique_ptr<GlyphFormat> MakeBinFormat(const FormatRequest& request) {
  if (request.unique) return std::make_unique<UniqueBinFormat>(request);
  return std::make_unique<BinFormat>(request);
}

}  // namespace pixtrel
