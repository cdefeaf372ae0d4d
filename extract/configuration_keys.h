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

// The builder's own section. Launchers that read only the section above
// never see it. "Checksums" holds how many entries it covers (all but the
// configuration entry); "CRC<n>" the CRC-32 of the n-th entry's content,
// counted from 1 in catalog order, in the integer rule's hexadecimal form
// ("$" and eight digits). Keys by position, not by name: stored names may
// hold "=", ";" and "[".
constexpr char kBuilderSection[] = "sfxpack";
constexpr char kKeyChecksums[] = "Checksums";
constexpr char kKeyCrcPrefix[] = "CRC";
