/* Small helpers shared by the demo. */
#include <stdio.h>
#include <stdlib.h>

#include "demo.h"

int clamp(int value, int low, int high)
{
    if (value < low)
        return low;
    if (value > high)
        return high;
    return value;
}

int safe_div(int num, int den)
{
    if (den == 0)
        return 0; /* NOT_FEASIBLE */
    return num / den;
}

void die(const char *message)
{
    fprintf(stderr, "demo: %s\n", message);
    exit(1);
}

/* BEGIN_NOT_FEASIBLE */
void dump_scores(const struct student *s, int n)
{
    int i;

    for (i = 0; i < n; i++)
        fprintf(stderr, "%s=%d\n", s[i].name, s[i].score);
}
/* END_NOT_FEASIBLE */
