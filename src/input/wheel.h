// Wheel amounts gathered over one receive batch and posted as one scroll event when the
// batch is done. The amounts 1 and 0 are single steps (0 is one step in the negative
// direction) that discard opposite steps gathered before them; other amounts just add up.
// Worker thread only; the accumulators are shared by every client.
#pragma once

namespace hovra {

void SendMouseWheel(int amount);   // vertical
void SendMouseHWheel(int amount);  // horizontal

// Posts the gathered amounts divided by 5 (remainders dropped), or nothing while both are
// below 5 in size; the accumulators are empty afterwards either way.
void CommitMouseWheel();

// Empties both accumulators without posting (for tests).
void ResetWheelState();

}  // namespace hovra
