// A settings file may hold anything: whatever its bytes, reading the receiver settings never
// crashes and gives an address and a port the rules accept (the defaults where the file's break
// them).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/UConfig.h"

namespace {

// The run's settings file in the temporary folder, removed when the run ends.
struct TFuzzSettingsFile {
  TFuzzSettingsFile()
      : Name((std::filesystem::temp_directory_path() / ("qj-inifuzz-" + std::to_string(::getpid()) + ".ini")).string()) {}
  ~TFuzzSettingsFile() { std::remove(Name.c_str()); }
  String Name;
};

const String& SettingsFileName() {
  static const TFuzzSettingsFile file;
  return file.Name;
}

bool WriteBytes(const String& AFileName, const uint8_t* AData, size_t ASize) {
  FILE* file = std::fopen(AFileName.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(AData, 1, ASize, file) == ASize;
  return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!WriteBytes(SettingsFileName(), data, size)) return 0;
  const TSTBAddr settings = LoadSettings(SettingsFileName());
  Integer port = 0;
  if (!IsValidReceiverAddress(settings.Address) || !TryReceiverPort(IntToStr(settings.Port), port)) std::abort();
  return 0;
}
