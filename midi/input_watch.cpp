#include "midi/input_watch.h"

#include "midi/port_name.h"
#include "platform/winmm.h"

#include <string.h>

// A computer with more inputs has the controller among these.
static const unsigned MAX_WATCHED = 64;

struct InputList {
    unsigned count;
    char names[MAX_WATCHED][MAXPNAMELEN];
};

static InputList noted;
static InputList now;

static void ReadInputs(InputList* list)
{
    unsigned count = midiInGetNumDevs();
    list->count = count < MAX_WATCHED ? count : MAX_WATCHED;
    for (unsigned id = 0; id < list->count; ++id) ReadPortName(true, id, list->names[id]);
}

static unsigned TimesListed(const InputList* list, const char* name)
{
    unsigned times = 0;
    for (unsigned i = 0; i < list->count; ++i) times += strcmp(list->names[i], name) == 0;
    return times;
}

// Whether `list` holds a name more often than `before` does.
static bool HasMore(const InputList* list, const InputList* before)
{
    for (unsigned i = 0; i < list->count; ++i) {
        if (TimesListed(list, list->names[i]) > TimesListed(before, list->names[i])) return true;
    }
    return false;
}

void NoteInputs()
{
    ReadInputs(&noted);
}

bool NewInputListed()
{
    ReadInputs(&now);
    bool arrived = HasMore(&now, &noted);
    noted = now;
    return arrived;
}

bool InputsChanged()
{
    ReadInputs(&now);
    return HasMore(&now, &noted) || HasMore(&noted, &now);
}
