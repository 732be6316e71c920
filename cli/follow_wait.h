// The pause between two looks at a followed file.
#pragma once

void WaitMilliseconds(unsigned milliseconds);
