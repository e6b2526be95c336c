// The benchmark families of the program, registered in the order they run.
#pragma once

void registerEngineBenchmarks();
void registerSuggestBenchmarks();
void registerOptionsBenchmarks();
