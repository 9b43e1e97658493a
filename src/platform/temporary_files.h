#pragma once

// Within the platform layer: what the command's start asks of the disk.

namespace pixtrel {

/// Makes the program, when interrupted, terminated or hung up, first remove
/// the temporary files RealDisk made and did not rename or remove yet; and
/// makes a write past the process's file size limit fail as other writes do
/// rather than end the program.
void RemoveTemporaryFilesOnSignals();

}  // namespace pixtrel
