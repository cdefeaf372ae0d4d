// The native build has no resources: messages come straight from the table.
#include "base/messages.h"

Text LoadMessage(MessageId id) {
    switch (id) {
#define MESSAGE(number, name, text) \
    case name: return Text(text);
#include "base/messages.inc"
#undef MESSAGE
    }
    return Text();
}
