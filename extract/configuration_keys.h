// The configuration entry is a profile file: the builder writes it and the
// launcher reads it, so both take its section and key names from here.
#pragma once

inline constexpr char kConfigSection[] = "VOLQ Configuration";
inline constexpr char kKeyExecutable[] = "Executable";
inline constexpr char kKeyParameters[] = "Parameters";
inline constexpr char kKeyUseDirs[] = "UseDirs";
inline constexpr char kKeyOverWrite[] = "OverWrite";
inline constexpr char kKeyAttributes[] = "Attributes";
inline constexpr char kKeyFileDate[] = "FileDate";

// The builder's own section. Launchers that read only the section above
// never see it. "Checksums" holds how many entries it covers (all but the
// configuration entry); "CRC<n>" the CRC-32 of the n-th entry's content,
// counted from 1 in catalog order, in the integer rule's hexadecimal form
// ("$" and eight digits). Keys by position, not by name: stored names may
// hold "=", ";" and "[".
inline constexpr char kBuilderSection[] = "sfxpack";
inline constexpr char kKeyChecksums[] = "Checksums";
inline constexpr char kKeyCrcPrefix[] = "CRC";

// Opt-in behaviours, in the builder's section: on when the value is neither
// empty nor "0".
inline constexpr char kKeyExitCode[] = "ExitCode";
inline constexpr char kKeyOwnFolder[] = "OwnFolder";
inline constexpr char kKeyPassArguments[] = "PassArguments";
