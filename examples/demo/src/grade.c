/* Letter grades and pass/fail counts. */
#include "demo.h"

#define PASS_MARK 50

char letter_grade(int score)
{
    if (score >= 90)
        return 'A';
    if (score >= 80)
        return 'B';
    if (score >= 70)
        return 'C';
    if (score >= 60)
        return 'D';
    return 'F';
}

int passed(int score)
{
    return score >= PASS_MARK;
}

void count_grades(const struct student *s, int n, int counts[5])
{
    int i;

    for (i = 0; i < 5; i++)
        counts[i] = 0;
    for (i = 0; i < n; i++) {
        switch (letter_grade(s[i].score)) {
        case 'A': counts[0]++; break;
        case 'B': counts[1]++; break;
        case 'C': counts[2]++; break;
        case 'D': counts[3]++; break;
        default:  counts[4]++; break;
        }
    }
}

int count_passed(const struct student *s, int n, int *failed)
{
    int i, pass = 0, fail = 0;

    for (i = 0; i < n; i++)
        if (passed(s[i].score)) pass++; else fail++;
    *failed = fail;
    return pass;
}
