// The MIDI file reader takes .mid and .rmi files from anywhere. Beyond not
// crashing or running away, what it returns must keep its promises: nothing
// beside an error, and a song whose events the synthesiser can take as they
// are.

#include "core/MidiSong.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const MidiSong song = MidiSong::parse(fuzzBytes(data, size));
    if (!song.isValid()) {
        fuzzCheck(song.events().empty() && song.sysex().empty(),
                  "a file that cannot be read gives no events", song.error());
        return 0;
    }
    fuzzCheck(song.format() == 0 || song.format() == 1, "only formats 0 and 1 are read");
    fuzzCheck(song.duration() > 0 && song.duration() <= MidiSong::maxSeconds,
              "a song lasts some time, and not too long", QString::number(song.duration()));
    fuzzCheck(song.events().size() <= size_t(MidiSong::maxEvents), "the events are bounded");
    double last = 0;
    for (const MidiEvent &event : song.events()) {
        fuzzCheck(event.seconds >= last, "events are in time order");
        fuzzCheck(event.seconds <= song.duration() + 1e-6, "no event after the song's end");
        last = event.seconds;
        if (event.status == 0xF0) {
            fuzzCheck(event.sysex < song.sysex().size(), "a system-exclusive event has a body");
            continue;
        }
        fuzzCheck(event.status >= 0x80 && event.status < 0xF0,
                  "every other event is a channel message");
        fuzzCheck(event.data1 < 0x80 && event.data2 < 0x80, "data bytes are 7-bit");
    }
    return 0;
}
