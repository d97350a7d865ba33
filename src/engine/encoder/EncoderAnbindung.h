#pragma once
// The wiring shared by the joiner and the converter thread: the console runner's
// notifications deliver the encoder's output through the thread's two line filters.

#include <functional>

#include "engine/prozess/RoConsoleApp.h"
#include "engine/prozess/RoPipe.h"
#include "engine/prozess/RoPipeFilters.h"

namespace lorvane {

// Every time slice reads and flushes the output filter, then the error filter; at the end
// of a run both are flushed (output first), then fertig runs when given. The filters must
// outlive the hook.
void EncoderAnbinden(TRoConsoleApp& app, TRoAnsiSBCSPipeFilter& ausgabe,
                     TRoAnsiSBCSPipeFilter& fehler, std::function<void()> fertig = {});
// Removes both notifications again.
void EncoderAbbinden(TRoConsoleApp& app);

// Writes the single byte "q" into an encoder's input pipe: the encoder ends its run when
// it reads it. Never blocks and never fails loudly: a pipe that is full or gone (the
// encoder ended a moment ago) just gets nothing. True when the byte went in.
bool EncoderStoppen(TRoPipe& eingabe);

} // namespace lorvane
