#include "platform/platform.h"

namespace pixtrel {

size_t ByteSource::ReadFull(char* buffer, size_t size) {
  size_t done = 0;
  for (size_t count; done < size && (count = Read(buffer + done, size - done)) != 0;) done += count;
  return done;
}

}  // namespace pixtrel
