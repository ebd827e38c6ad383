/* Score statistics: extremes, mean and median. */
#include "demo.h"

int min_score(const struct student *s, int n)
{
    int i, low = s[0].score;

    for (i = 1; i < n; i++)
        if (s[i].score < low)
            low = s[i].score;
    return low;
}

int max_score(const struct student *s, int n)
{
    int i, high = s[0].score;

    for (i = 1; i < n; i++)
        if (s[i].score > high)
            high = s[i].score;
    return high;
}

int mean_score(const struct student *s, int n)
{
    int i, total = 0;

    for (i = 0; i < n; i++)
        total += s[i].score;
    return safe_div(total, n);
}

/* Insertion sort: the lists are short. */
void sort_scores(int *scores, int n)
{
    int i, j, key;

    for (i = 1; i < n; i++) {
        key = scores[i];
        for (j = i - 1; j >= 0 && scores[j] > key; j--)
            scores[j + 1] = scores[j];
        scores[j + 1] = key;
    }
}

int median_score(const struct student *s, int n)
{
    int scores[MAX_STUDENTS];
    int i;

    if (n > MAX_STUDENTS)
        n = MAX_STUDENTS;
    for (i = 0; i < n; i++)
        scores[i] = s[i].score;
    sort_scores(scores, n);
    if (n % 2) return scores[n / 2]; else return (scores[n / 2 - 1] + scores[n / 2]) / 2;
}

int score_range(const struct student *s, int n)
{
    return max_score(s, n) - min_score(s, n);
}
