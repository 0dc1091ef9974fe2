#pragma once
#include <vector>

// Milliseconds on the performance counter; only differences mean anything.
double NowMs();
// Median of the samples; 0 for none.
double Median(std::vector<double> samples);
