#include "serial/posix/system_consoles.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace serial {
namespace {

// console -> tty0 -> tty1 is as deep as the kernel goes; the bound only
// guards against a tree that names itself.
constexpr int kDeepestAlias = 4;

std::vector<std::string> words_of(const std::string& path) {
  std::ifstream file(path);
  std::vector<std::string> words;
  for (std::string word; file >> word;) words.push_back(word);
  return words;
}

// "4:64" as a device number.
bool parse_device(const std::string& text, dev_t& device) {
  unsigned major_number = 0, minor_number = 0;
  char colon = 0;
  std::istringstream in(text);
  if (!(in >> major_number >> colon >> minor_number) || colon != ':' || !in.eof()) return false;
  device = makedev(major_number, minor_number);
  return true;
}

std::string base_name(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

SystemConsoles SystemConsoles::read(const SystemRoots& roots) {
  SystemConsoles consoles;
  consoles.add(roots.sys, "console", 0);
  std::ifstream proc_consoles(roots.proc + "/consoles");
  for (std::string line; std::getline(proc_consoles, line);) {
    std::istringstream fields(line);
    std::string name, field, last;
    if (!(fields >> name)) continue;
    while (fields >> field) last = field;
    consoles.add(roots.sys, name, 0);
    dev_t device{};
    if (parse_device(last, device)) consoles.devices_.push_back(device);
  }
  return consoles;
}

void SystemConsoles::add(const std::string& sys_root, const std::string& name, int depth) {
  if (name.empty() || name.find('/') != std::string::npos) return;
  if (std::find(names_.begin(), names_.end(), name) != names_.end()) return;
  names_.push_back(name);
  const std::string entry = sys_root + "/class/tty/" + name;
  const std::vector<std::string> number = words_of(entry + "/dev");
  dev_t device{};
  if (number.size() == 1 && parse_device(number[0], device)) devices_.push_back(device);
  if (depth >= kDeepestAlias) return;
  for (const std::string& target : words_of(entry + "/active")) add(sys_root, target, depth + 1);
}

bool SystemConsoles::contains(const std::string& path) const {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode) &&
      std::find(devices_.begin(), devices_.end(), info.st_rdev) != devices_.end()) {
    return true;
  }
  std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr), ::free);
  const std::string name = base_name(resolved ? resolved.get() : path);
  return std::find(names_.begin(), names_.end(), name) != names_.end();
}

}  // namespace serial
