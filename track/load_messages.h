// What the viewer tells when a journal cannot be loaded, in UTF-8: the
// window shows it in a message box, the export command on standard error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace track {

std::string cannot_open_message(std::string_view path);
// The same with the system's reason: "Impossible d'ouvrir le fichier: path (reason)."
std::string cannot_open_message(std::string_view path, std::string_view reason);
std::string cannot_read_message(std::string_view path);
// `line` counts the reads from 1, short ones included.
std::string faulty_line_message(std::string_view path, int64_t line);
std::string nothing_accepted_message(std::string_view path);
// An XML file whose root is not a GPX one (a KML export, say).
std::string unknown_format_message(std::string_view path);

}  // namespace track
