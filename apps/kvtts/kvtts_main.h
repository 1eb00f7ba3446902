// kvtts's work, shared by the entry of each system: the arguments as UTF-8.
#pragma once

int KvttsMain(int argc, char** argv);
