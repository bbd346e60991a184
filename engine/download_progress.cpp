#include "engine/download_progress.h"

#include "platform/base/decimal_point.h"

namespace engine {
namespace {

constexpr int64_t kKilo = 1024;
constexpr int64_t kMega = 1024 * kKilo;
constexpr int64_t kGiga = 1024 * kMega;

std::string general(double value, char separator) { return platform::generalDecimal(value, 3, separator); }

// The total in its largest unit, whole.
std::string totalText(int64_t total) {
  if (total >= kGiga) return std::to_string(total / kGiga) + "GB.";
  if (total >= kMega) return std::to_string(total / kMega) + "MB.";
  if (total >= kKilo) return std::to_string(total / kKilo) + "KB.";
  return std::to_string(total) + "Bytes.";
}

std::string writtenText(int64_t size, char separator) {
  const double t = static_cast<double>(size);
  if (size >= kGiga) return general(t / kGiga, separator) + " GigaBytes gravados.";
  if (size >= kMega) return general(t / kMega, separator) + " MegaBytes gravados.";
  if (size >= kKilo) return general(t / kKilo, separator) + " KBytes gravados.";
  return general(t, separator) + " Bytes gravados.";
}

}  // namespace

std::vector<std::string> progressReport(const DownloadProgress& p, char separator) {
  std::vector<std::string> said;
  if (p.openEnded) {
    said.push_back(std::to_string(p.fileSize) + " bytes escritos em disco.");
  } else {
    const int64_t total = p.announced + p.resumeOffset;
    const double percent = total > 0 ? static_cast<double>(p.fileSize) / static_cast<double>(total) * 100 : 100;
    said.push_back("Recebidos: ");
    said.push_back(general(percent, separator) + "% de " + totalText(total));
  }
  said.push_back(writtenText(p.fileSize, separator));
  said.push_back("Arquivo: " + p.fileName);
  return said;
}

}  // namespace engine
