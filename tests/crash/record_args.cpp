// A stand-in crash reporter: writes its command line (program, one space,
// the arguments) to the file named by $RECORD_FILE.

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const char* out = std::getenv("RECORD_FILE");
    if (!out)
        return 1;
    FILE* f = std::fopen(out, "w");
    if (!f)
        return 1;
    for (int i = 0; i < argc; ++i)
        std::fprintf(f, i ? " %s" : "%s", argv[i]);
    std::fclose(f);
    return 0;
}
