#include "import/RunJournalFileSlots.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace upfold {

namespace {

// Slot: "UPJM", sequence (20 digits), payload length (4 digits), checksum (16 hex digits)
// of everything after it, then the payload, blank-filled.
constexpr std::size_t kHeader = 4 + 20 + 4 + 16;
constexpr std::size_t kSlotSize = kHeader + MarkSlots::kMaxPayload;

std::uint64_t Checksum(const char* data, std::size_t size) {
  std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (std::size_t i = 0; i < size; ++i) {
    hash ^= static_cast<unsigned char>(data[i]);
    hash *= 1099511628211ull;
  }
  return hash;
}

std::optional<std::pair<std::uint64_t, std::string>> Decode(const std::string& slot) {
  if (slot.size() != kSlotSize || slot.compare(0, 4, "UPJM") != 0) return std::nullopt;
  const std::uint64_t sum = std::strtoull(slot.substr(28, 16).c_str(), nullptr, 16);
  std::string covered = slot.substr(4, 24) + slot.substr(kHeader);
  if (Checksum(covered.data(), covered.size()) != sum) return std::nullopt;
  const std::uint64_t sequence = std::strtoull(slot.substr(4, 20).c_str(), nullptr, 10);
  const std::size_t length = std::strtoul(slot.substr(24, 4).c_str(), nullptr, 10);
  if (length > MarkSlots::kMaxPayload) return std::nullopt;
  return std::make_pair(sequence, slot.substr(kHeader, length));
}

}  // namespace

MarkSlots::~MarkSlots() {
  Close();
}

void MarkSlots::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool MarkSlots::OpenForWriting() {
  if (fd_ < 0) fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

bool MarkSlots::Write(const std::string& payload) {
  if (payload.size() > kMaxPayload || !OpenForWriting()) return false;
  if (sequence_ == 0) Read();  // go on after what the file holds
  const std::uint64_t sequence = sequence_ + 1;
  char head[4 + 20 + 4 + 1];
  std::snprintf(head, sizeof head, "UPJM%020llu%04zu", static_cast<unsigned long long>(sequence),
                payload.size());
  std::string slot(head);
  std::string body = payload;
  body.resize(kMaxPayload, ' ');
  const std::string covered = slot.substr(4) + body;
  char sum[17];
  std::snprintf(sum, sizeof sum, "%016llx",
                static_cast<unsigned long long>(Checksum(covered.data(), covered.size())));
  slot += sum;
  slot += body;
  const off_t at = static_cast<off_t>((sequence % 2) * kSlotSize);
  if (::pwrite(fd_, slot.data(), slot.size(), at) != static_cast<ssize_t>(slot.size()))
    return false;
  sequence_ = sequence;
  return true;
}

std::optional<std::string> MarkSlots::Read() {
  const int fd = fd_ >= 0 ? fd_ : ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<std::pair<std::uint64_t, std::string>> best;
  for (int i = 0; i < 2; ++i) {
    std::string slot(kSlotSize, '\0');
    if (::pread(fd, slot.data(), kSlotSize, static_cast<off_t>(i * kSlotSize)) !=
        static_cast<ssize_t>(kSlotSize))
      continue;
    std::optional<std::pair<std::uint64_t, std::string>> got = Decode(slot);
    if (got && (!best || got->first > best->first)) best = std::move(got);
  }
  if (fd != fd_) ::close(fd);
  if (!best) return std::nullopt;
  if (best->first > sequence_) sequence_ = best->first;
  return best->second;
}

bool MarkSlots::Clear() {
  if (!OpenForWriting()) return false;
  sequence_ = 0;
  return ::ftruncate(fd_, 0) == 0;
}

}  // namespace upfold
