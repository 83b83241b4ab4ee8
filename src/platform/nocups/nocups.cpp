#include "cups/cups.h"
#include "cups/ppd.h"

cups_dest_t *cupsGetNamedDest(http_t *, const char *, const char *) { return nullptr; }
void cupsFreeDests(int, cups_dest_t *) {}
const char *cupsGetOption(const char *, int, cups_option_t *) { return nullptr; }
cups_dinfo_t *cupsCopyDestInfo(http_t *, cups_dest_t *) { return nullptr; }
void cupsFreeDestInfo(cups_dinfo_t *) {}
ipp_attribute_t *cupsFindDestDefault(http_t *, cups_dest_t *, cups_dinfo_t *, const char *)
{
    return nullptr;
}
ipp_attribute_t *cupsFindDestSupported(http_t *, cups_dest_t *, cups_dinfo_t *, const char *)
{
    return nullptr;
}
const char *cupsLocalizeDestValue(http_t *, cups_dest_t *, cups_dinfo_t *, const char *,
                                  const char *value)
{
    return value;
}
int ippGetCount(ipp_attribute_t *) { return 0; }
const char *ippGetString(ipp_attribute_t *, int, const char **) { return nullptr; }
int ippGetResolution(ipp_attribute_t *, int, int *yres, ipp_res_t *units)
{
    if (yres)
        *yres = 0;
    if (units)
        *units = IPP_RES_PER_INCH;
    return 0;
}
const char *cupsGetPPD(const char *) { return nullptr; }
// No job is ever submitted, so the options are only counted.
int cupsAddOption(const char *, const char *, int numOptions, cups_option_t **)
{
    return numOptions;
}
int cupsAddIntegerOption(const char *, int, int numOptions, cups_option_t **) { return numOptions; }
void cupsFreeOptions(int, cups_option_t *) {}
int cupsPrintFile(const char *, const char *, const char *, int, cups_option_t *) { return 0; }
const char *cupsLastErrorString() { return "no CUPS on this system"; }
ppd_file_t *ppdOpenFile(const char *) { return nullptr; }
ppd_option_t *ppdFindOption(ppd_file_t *, const char *) { return nullptr; }
void ppdClose(ppd_file_t *) {}
