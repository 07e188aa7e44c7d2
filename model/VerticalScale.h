#pragma once

// Computes ratio and baseline from the data when autoRatio is on, and always
// leaves ratio at the "%g" rounding shown in the ratio field.
void RecalcRatio();
