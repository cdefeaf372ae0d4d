// The German string table of the failure report and of the conversion and
// input/output messages. The texts live in messages.inc, which is shared by
// the resource script and by the native build.
#pragma once
#include "base/text.h"

enum MessageId : unsigned {
#define MESSAGE(id, name, text) name = id,
#include "base/messages.inc"
#undef MESSAGE
};

// The text of a message: from the executable's string table on Windows,
// from messages.inc natively.
Text LoadMessage(MessageId id);

// Replaces each "%s" of the template, in order, by the next argument.
Text FormatMessageText(const Text& messageTemplate, const Text* arguments, size_t count);
