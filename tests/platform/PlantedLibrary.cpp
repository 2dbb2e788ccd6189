// A library that exists only to be found, or not found, by its plain name.
extern "C" __attribute__((visibility("default"))) int talvoPlantedLibrary()
{
    return 1;
}
