#pragma once
// The run journal's fast path: the mark of the batch being imported, rewritten after every
// record. A data file transaction per record would cost more than the record itself, so the
// mark goes into a small file of two slots written in turn, one write each; a write that
// has returned survives a killed program, and a slot torn by a crash fails its check, so the
// other slot (one record older) is read instead.

#include <cstdint>
#include <optional>
#include <string>

namespace upfold {

class MarkSlots {
 public:
  // hostPath: the slot file (made when first written).
  explicit MarkSlots(std::string hostPath) : path_(std::move(hostPath)) {}
  ~MarkSlots();
  MarkSlots(const MarkSlots&) = delete;
  MarkSlots& operator=(const MarkSlots&) = delete;

  // Writes payload (at most kMaxPayload bytes) over the older slot. False when the file
  // cannot be written.
  bool Write(const std::string& payload);
  // The payload of the newest intact slot; nullopt when there is none (or no file).
  std::optional<std::string> Read();
  // Both slots emptied; false when the file cannot be written.
  bool Clear();
  void Close();

  static constexpr std::size_t kMaxPayload = 1400;

 private:
  bool OpenForWriting();

  std::string path_;
  int fd_ = -1;
  std::uint64_t sequence_ = 0;  // of the newest slot written or read
};

}  // namespace upfold
