// PNG pictures where the build has no library to write them.

#include "platform/failure.h"
#include "platform/png_writer.h"

namespace pixtrel {

struct PngWriter::State {};

PngWriter::PngWriter(ByteSink&, std::string name, uint32_t, uint32_t) {
  throw FileFailure(name, "PNG pictures are not in this build");
}

PngWriter::~PngWriter() = default;

void PngWriter::WriteRow(const uint8_t*) {}

void PngWriter::Finish() {}

bool PngWriter::Available() { return false; }

}  // namespace pixtrel
