/* Grade book demo: summarises the scores of a fixed class list.
 *
 * The profiles in this directory come from two runs: "demo" and "demo -v".
 */
#include <stdio.h>
#include <string.h>

#include "demo.h"

static const struct student class_list[] = {
    {"Ada", 93},
    {"Brian", 78},
    {"Chen", 85},
    {"Dana", 61},
    {"Eve", 47},
    {"Femi", 88},
};

static void usage(const char *prog)
{
    fprintf(stderr, "usage: %s [-v]\n", prog);
    fprintf(stderr, "Prints the summary of a fixed class list.\n");
}

int main(int argc, char **argv)
{
    int n = (int)(sizeof class_list / sizeof class_list[0]);
    int counts[5];
    int failed = 0;
    int verbose = 0;

    if (argc > 1) {
        if (strcmp(argv[1], "-v") != 0) {
            usage(argv[0]);
            return 2;
        }
        verbose = 1;
    }
    if (n == 0) die("empty class list"); else printf("%d students\n", n);

    printf("lowest %d, highest %d, mean %d, median %d\n",
           min_score(class_list, n), max_score(class_list, n),
           mean_score(class_list, n), median_score(class_list, n));
    printf("passed %d, failed ", count_passed(class_list, n, &failed));
    printf("%d\n", failed);

    count_grades(class_list, n, counts);
    if (verbose)
        print_table(class_list, n);
    print_histogram(counts);
    return 0;
}
