#pragma once
// The part of libcups the printer code calls, for a build with no CUPS (Windows, until the
// spooler backend takes its place): a machine with no CUPS destinations. Every lookup finds
// nothing and a job is refused, so the printer code reports "no printer" as CUPS would with no
// queues.

#include <cstddef>

using http_t = void;
#define CUPS_HTTP_DEFAULT nullptr

struct cups_option_t {
    char *name;
    char *value;
};

struct cups_dest_t {
    char *name;
    char *instance;
    int is_default;
    int num_options;
    cups_option_t *options;
};

struct cups_dinfo_t;
struct ipp_attribute_t;
enum ipp_res_t { IPP_RES_PER_INCH = 3, IPP_RES_PER_CM = 4 };

cups_dest_t *cupsGetNamedDest(http_t *http, const char *name, const char *instance);
void cupsFreeDests(int numDests, cups_dest_t *dests);
const char *cupsGetOption(const char *name, int numOptions, cups_option_t *options);
cups_dinfo_t *cupsCopyDestInfo(http_t *http, cups_dest_t *dest);
void cupsFreeDestInfo(cups_dinfo_t *info);
ipp_attribute_t *cupsFindDestDefault(http_t *http, cups_dest_t *dest, cups_dinfo_t *info,
                                     const char *option);
ipp_attribute_t *cupsFindDestSupported(http_t *http, cups_dest_t *dest, cups_dinfo_t *info,
                                       const char *option);
const char *cupsLocalizeDestValue(http_t *http, cups_dest_t *dest, cups_dinfo_t *info,
                                  const char *option, const char *value);
int ippGetCount(ipp_attribute_t *attr);
const char *ippGetString(ipp_attribute_t *attr, int element, const char **language);
int ippGetResolution(ipp_attribute_t *attr, int element, int *yres, ipp_res_t *units);
const char *cupsGetPPD(const char *name);
int cupsAddOption(const char *name, const char *value, int numOptions, cups_option_t **options);
int cupsAddIntegerOption(const char *name, int value, int numOptions, cups_option_t **options);
void cupsFreeOptions(int numOptions, cups_option_t *options);
int cupsPrintFile(const char *name, const char *filename, const char *title, int numOptions,
                  cups_option_t *options);
const char *cupsLastErrorString();
