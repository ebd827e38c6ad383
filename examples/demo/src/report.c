/* Printing: the class table and the grade histogram. */
#include <stdio.h>

#include "demo.h"

static const char grade_names[5] = {'A', 'B', 'C', 'D', 'F'};

void print_table(const struct student *s, int n)
{
    int i;

    printf("%-8s %5s %s\n", "name", "score", "grade");
    for (i = 0; i < n; i++)
        printf("%-8s %5d %c\n", s[i].name, s[i].score, letter_grade(s[i].score));
}

static void print_bar(char grade, int count)
{
    int i, width = clamp(count * 4, 0, 40);

    printf("%c |", grade);
    for (i = 0; i < width; i++)
        putchar('#');
    printf(" %d\n", count);
}

void print_histogram(const int counts[5])
{
    int g;

    for (g = 0; g < 5; g++)
        print_bar(grade_names[g], counts[g]);
}
