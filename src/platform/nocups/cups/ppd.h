#pragma once
// PPD files, for a build with no CUPS: none is ever found (see cups.h beside this).

struct ppd_choice_t {
    char marked;
    char choice[41];
    char text[81];
};

struct ppd_option_t {
    int num_choices;
    ppd_choice_t *choices;
};

struct ppd_file_t;

ppd_file_t *ppdOpenFile(const char *filename);
ppd_option_t *ppdFindOption(ppd_file_t *ppd, const char *keyword);
void ppdClose(ppd_file_t *ppd);
