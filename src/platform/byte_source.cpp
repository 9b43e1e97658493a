#include "platform/platform.h"

namespace pixtrel {

size_t ByteSource::ReadFull(char* buffer, size_t size) {
  size_t done = 0;
  for (size_t count; done < size && (count = Read(buffer + done, size - done)) != 0;) done += count;
  return done;
}

std::string ByteSource::ReadAll() {
  std::string bytes;
  if (const int64_t length = Length(); length > 0) bytes.reserve(static_cast<size_t>(length));
  char buffer[1 << 16];
  for (size_t count; (count = Read(buffer, sizeof buffer)) != 0;) bytes.append(buffer, count);
  return bytes;
}

}  // namespace pixtrel
