// The configuration entry is a profile file: the builder writes it and the
// launcher reads it, so both take its section and key names from here.
#pragma once

constexpr char kConfigSection[] = "VOLQ Configuration";
constexpr char kKeyExecutable[] = "Executable";
constexpr char kKeyParameters[] = "Parameters";
constexpr char kKeyUseDirs[] = "UseDirs";
constexpr char kKeyOverWrite[] = "OverWrite";
constexpr char kKeyAttributes[] = "Attributes";
constexpr char kKeyFileDate[] = "FileDate";
