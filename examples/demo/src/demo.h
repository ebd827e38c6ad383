/* Grade book demo: shared declarations. */
#ifndef DEMO_H
#define DEMO_H

#define MAX_STUDENTS 16

struct student {
    const char *name;
    int score;
};

/* stats.c */
int min_score(const struct student *s, int n);
int max_score(const struct student *s, int n);
int mean_score(const struct student *s, int n);
void sort_scores(int *scores, int n);
int median_score(const struct student *s, int n);
int score_range(const struct student *s, int n);

/* grade.c */
char letter_grade(int score);
int passed(int score);
void count_grades(const struct student *s, int n, int counts[5]);
int count_passed(const struct student *s, int n, int *failed);

/* report.c */
void print_table(const struct student *s, int n);
void print_histogram(const int counts[5]);

/* util.c */
int clamp(int value, int low, int high);
int safe_div(int num, int den);
void die(const char *message);
void dump_scores(const struct student *s, int n);

/* selftest.c */
int selftest(void);

#endif
